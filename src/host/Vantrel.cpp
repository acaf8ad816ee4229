#include "Vantrel.h"

namespace {

QVariant Int16(int16_t value) { return QVariant::fromValue<qint16>(value); }

} // namespace

VantrelEntry::VantrelEntry(std::shared_ptr<Automation::Object> object) : m_Object(std::move(object)) {}

QVariant VantrelEntry::GetAdifNameN(int16_t &column)
{
    return m_Object->Call(QStringLiteral("GetAdifNameN"), {Int16(column)});
}

QVariant VantrelEntry::GetFieldAttributesN(int16_t &column)
{
    return m_Object->Call(QStringLiteral("GetFieldAttributesN"), {Int16(column)});
}

QVariant VantrelEntry::FieldTitle(int16_t &column)
{
    return m_Object->Call(QStringLiteral("FieldTitle"), {Int16(column)});
}

void VantrelEntry::ClearEntry() { m_Object->Call(QStringLiteral("ClearEntry")); }

void VantrelEntry::SetFieldN(int16_t column, QString &text)
{
    m_Object->Call(QStringLiteral("SetFieldN"), {Int16(column), text});
}

void VantrelEntry::SetLogFrequencyEx(int16_t &mode, double rxKhz, double txKhz, int16_t &split)
{
    m_Object->Call(QStringLiteral("SetLogFrequencyEx"), {Int16(mode), rxKhz, txKhz, Int16(split)});
}

void VantrelEntry::EnterQso() { m_Object->Call(QStringLiteral("EnterQso")); }

QVariant VantrelEntry::Dupe() { return m_Object->Call(QStringLiteral("Dupe")); }

VantrelDocument::VantrelDocument(std::shared_ptr<Automation::Object> object) : m_Object(std::move(object)) {}

std::shared_ptr<VantrelEntry> VantrelDocument::GetCurrentEntry()
{
    const QVariant path = m_Object->Call(QStringLiteral("GetCurrentEntry"));
    return std::make_shared<VantrelEntry>(m_Object->ObjectFrom(path));
}

std::shared_ptr<VantrelDocument> VantrelDocument::GetRunning()
{
    std::shared_ptr<Automation::Object> object = Automation::GetActiveObject(kVantrelProgId);
    return object ? std::make_shared<VantrelDocument>(std::move(object)) : nullptr;
}

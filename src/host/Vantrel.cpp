// SPDX-License-Identifier: GPL-3.0-or-later
#include "Vantrel.h"

#include "Numbers.h"
#include "RuntimeError.h"

namespace {

QVariant Int16(int16_t value) { return QVariant::fromValue<qint16>(value); }

// What the logger answered, for an error report: text quoted and cut short.
QString Shown(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        return QStringLiteral("nothing");
    case QMetaType::QString: {
        const QString text = value.toString();
        return QStringLiteral("the text \"%1\"").arg(text.size() > 40 ? text.left(40) + QChar(0x2026) : text);
    }
    case QMetaType::Bool:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return QStringLiteral("the number %1").arg(value.toString());
    default:
        return QStringLiteral("a value of type %1").arg(QString::fromLatin1(value.typeName()));
    }
}

// A result converted as Ardenix reads it; a result that does not convert
// raises the conversion's error with the member and its answer added.
template <typename Convert>
auto Converted(const QString &member, const QVariant &value, Convert convert)
{
    try {
        return convert(value);
    } catch (const RuntimeError &error) {
        throw RuntimeError(error.number(), QStringLiteral("%1 (%2 answered %3)").arg(error.description(), member, Shown(value)));
    }
}

// A call whose result is read as text, or as a 16-bit integer.
QString TextOf(const Automation::Object &object, const QString &member, const QVariantList &args)
{
    return Converted(member, object.Call(member, args), [](const QVariant &v) { return Numbers::VariantToText(v); });
}

int16_t Int16Of(const Automation::Object &object, const QString &member, const QVariantList &args)
{
    return Converted(member, object.Call(member, args), [](const QVariant &v) { return Numbers::VariantToInt16(v); });
}

} // namespace

VantrelEntry::VantrelEntry(std::shared_ptr<Automation::Object> object) : m_Object(std::move(object)) {}

QString VantrelEntry::GetAdifNameN(int16_t column)
{
    return TextOf(*m_Object, QStringLiteral("GetAdifNameN"), {Int16(column)});
}

int16_t VantrelEntry::GetFieldAttributesN(int16_t column)
{
    return Int16Of(*m_Object, QStringLiteral("GetFieldAttributesN"), {Int16(column)});
}

QString VantrelEntry::FieldTitle(int16_t column)
{
    return TextOf(*m_Object, QStringLiteral("FieldTitle"), {Int16(column)});
}

void VantrelEntry::ClearEntry() { m_Object->Call(QStringLiteral("ClearEntry")); }

void VantrelEntry::SetFieldN(int16_t column, QString text)
{
    m_Object->Call(QStringLiteral("SetFieldN"), {Int16(column), std::move(text)});
}

void VantrelEntry::SetLogFrequencyEx(int16_t mode, double rxKhz, double txKhz, int16_t split)
{
    m_Object->Call(QStringLiteral("SetLogFrequencyEx"), {Int16(mode), rxKhz, txKhz, Int16(split)});
}

void VantrelEntry::EnterQso() { m_Object->Call(QStringLiteral("EnterQso")); }

bool VantrelEntry::Dupe()
{
    const QString member = QStringLiteral("Dupe");
    const QVariant answer = m_Object->Call(member);
    return !Converted(member, answer, [](const QVariant &v) { return Numbers::VariantEqualsNumber(v, 0); });
}

VantrelDocument::VantrelDocument(std::shared_ptr<Automation::Object> object) : m_Object(std::move(object)) {}

std::shared_ptr<VantrelEntry> VantrelDocument::GetCurrentEntry()
{
    const QString member = QStringLiteral("GetCurrentEntry");
    const QVariant path = m_Object->Call(member);
    return std::make_shared<VantrelEntry>(Converted(member, path, [this](const QVariant &v) { return m_Object->ObjectFrom(v); }));
}

std::shared_ptr<VantrelDocument> VantrelDocument::GetRunning()
{
    std::shared_ptr<Automation::Object> object = Automation::GetActiveObject(kVantrelProgId);
    return object ? std::make_shared<VantrelDocument>(std::move(object)) : nullptr;
}

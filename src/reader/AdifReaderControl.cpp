// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdifReaderControl.h"

#include "Numbers.h"

#include <algorithm>
#include <iterator>

namespace {

// One member of the dispatch contract: the kind of call and the number of
// arguments it takes, and the reader's own call that it makes. Invoke()
// holds the table of them.
struct Member {
    int id;
    InvokeKind kind;
    qsizetype arguments;
    QVariant (*call)(AdifReader &reader, const QVariantList &args);
};

QString FieldNameAt(AdifReader &reader, const QVariant &position)
{
    const int32_t at = Numbers::VariantToInt32(position);
    const QStringList &names = reader.FieldNames();
    if (at < 0 || at >= names.size())
        throw RuntimeError::SubscriptOutOfRange();
    return names.at(at);
}

} // namespace

RuntimeError AdifReaderControl::Translated(const ReaderError &error)
{
    // Both kinds are the file's: it cannot be read, or it holds a record too long to hold.
    return RuntimeError::FileError(error.path(), error.message());
}

QVariant AdifReaderControl::Invoke(int dispatchId, InvokeKind kind, const QVariantList &args)
{
    using Kind = InvokeKind;
    using Args = const QVariantList &;
    static const Member kMembers[] = {
        {kFileName, Kind::PropertyPut, 1, [](AdifReader &r, Args a) { r.Open(Numbers::VariantToText(a[0])); return QVariant(); }},
        {kNextRecord, Kind::Method, 0, [](AdifReader &r, Args) { return QVariant(r.NextRecord() ? -1 : 0); }},
        {kFrequency, Kind::PropertyGet, 0, [](AdifReader &r, Args) { return QVariant(r.Frequency()); }},
        {kSplitFrequency, Kind::PropertyGet, 0, [](AdifReader &r, Args) { return QVariant(r.SplitFrequency()); }},
        {kYear, Kind::PropertyGet, 0, [](AdifReader &r, Args) { return QVariant(r.Time().year); }},
        {kMonth, Kind::PropertyGet, 0, [](AdifReader &r, Args) { return QVariant(r.Time().month); }},
        {kDay, Kind::PropertyGet, 0, [](AdifReader &r, Args) { return QVariant(r.Time().day); }},
        {kHour, Kind::PropertyGet, 0, [](AdifReader &r, Args) { return QVariant(r.Time().hour); }},
        {kMinute, Kind::PropertyGet, 0, [](AdifReader &r, Args) { return QVariant(r.Time().minute); }},
        {kSecond, Kind::PropertyGet, 0, [](AdifReader &r, Args) { return QVariant(r.Time().second); }},
        {kMode, Kind::PropertyGet, 0, [](AdifReader &r, Args) { return QVariant(r.Mode()); }},
        {kFieldValue, Kind::PropertyGet, 1, [](AdifReader &r, Args a) { return QVariant(r.FieldValue(Numbers::VariantToText(a[0]))); }},
        {kFieldNameCount, Kind::PropertyGet, 0, [](AdifReader &r, Args) { return QVariant(int32_t(r.FieldNames().size())); }},
        {kFieldName, Kind::PropertyGet, 1, [](AdifReader &r, Args a) { return QVariant(FieldNameAt(r, a[0])); }},
    };
    const Member *member = std::find_if(std::begin(kMembers), std::end(kMembers),
                                        [dispatchId](const Member &m) { return m.id == dispatchId; });
    if (member == std::end(kMembers) || member->kind != kind || member->arguments != args.size())
        throw RuntimeError::InvalidCall();
    try {
        return member->call(m_Reader, args);
    } catch (const ReaderError &error) {
        throw Translated(error);
    }
}

QVariant AdifReaderControl::Get(int dispatchId, const QVariantList &args)
{
    return Invoke(dispatchId, InvokeKind::PropertyGet, args);
}

// setValue reuses the held value when it is of the same type, as it is
// for a run of look-ups by name: no variant is made per look-up.
template <typename T>
QVariant AdifReaderControl::GetWith(int dispatchId, const T &argument)
{
    m_OneArgument[0].setValue(argument);
    return Get(dispatchId, m_OneArgument);
}

void AdifReaderControl::SetFileName(const QString &fileName)
{
    Invoke(kFileName, InvokeKind::PropertyPut, {fileName});
}

int16_t AdifReaderControl::NextRecord()
{
    return Numbers::VariantToInt16(Invoke(kNextRecord, InvokeKind::Method, {}));
}

double AdifReaderControl::Frequency() { return Numbers::VariantToDouble(Get(kFrequency)); }
double AdifReaderControl::SplitFrequency() { return Numbers::VariantToDouble(Get(kSplitFrequency)); }
int16_t AdifReaderControl::Year() { return Numbers::VariantToInt16(Get(kYear)); }
int16_t AdifReaderControl::Month() { return Numbers::VariantToInt16(Get(kMonth)); }
int16_t AdifReaderControl::Day() { return Numbers::VariantToInt16(Get(kDay)); }
int16_t AdifReaderControl::Hour() { return Numbers::VariantToInt16(Get(kHour)); }
int16_t AdifReaderControl::Minute() { return Numbers::VariantToInt16(Get(kMinute)); }
int16_t AdifReaderControl::Second() { return Numbers::VariantToInt16(Get(kSecond)); }
QString AdifReaderControl::Mode() { return Numbers::VariantToText(Get(kMode)); }

QString AdifReaderControl::FieldValue(const QString &fieldName)
{
    return Numbers::VariantToText(GetWith(kFieldValue, fieldName));
}

int32_t AdifReaderControl::FieldNameCount() { return Numbers::VariantToInt32(Get(kFieldNameCount)); }

QString AdifReaderControl::FieldName(int32_t position)
{
    return Numbers::VariantToText(GetWith(kFieldName, position));
}

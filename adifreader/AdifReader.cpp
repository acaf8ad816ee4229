// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdifReader.h"

#include "AdiParser.h"
#include "AdxParser.h"
#include "CabrilloParser.h"
#include "ByteSource.h"
#include "ReaderError.h"
#include "Record.h"
#include "Text.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

using namespace adif;

namespace {

// The first bytes of the data, with a UTF-8 byte-order mark taken off.
std::string Head(ByteSource &probe)
{
    char head[512];
    size_t n = 0;
    while (n < sizeof head) {
        const size_t got = probe.Read(head + n, sizeof head - n);
        if (got == 0)
            break;
        n += got;
    }
    std::string_view s(head, n);
    if (s.substr(0, 3) == "\xEF\xBB\xBF")
        s.remove_prefix(3);
    return std::string(s);
}

std::string_view WithoutLeadingSpace(std::string_view s)
{
    while (!s.empty() && text::IsSpace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    return s;
}

// ADX is told from ADI by its content: after white space, an XML
// declaration, comment or doctype, or the <ADX> element itself.
bool LooksLikeXml(std::string_view head)
{
    const std::string_view s = WithoutLeadingSpace(head);
    return s.substr(0, 2) == "<?" || s.substr(0, 2) == "<!" || text::EqualsNoCase(s.substr(0, 4), "<ADX");
}

// A Cabrillo log's first line that is not blank begins START-OF-LOG:.
bool LooksLikeCabrillo(std::string_view head)
{
    constexpr std::string_view kStart = "START-OF-LOG:";
    return text::EqualsNoCase(WithoutLeadingSpace(head).substr(0, kStart.size()), kStart);
}

// Every distinct field name of the records the parser reads, as reported,
// in order of first appearance. Reported names differ exactly when their
// keys differ, so the names listed serve as their own set. A name is looked
// at once for each way it is written.
QStringList GatherFieldNames(RecordParser &pass)
{
    QStringList names;
    QSet<QStringView> listed; // views into the names' own text
    QSet<QByteArray> written;
    while (pass.Next()) {
        for (const FieldRef &f : pass.Fields()) {
            const std::string_view name = pass.Name(f);
            const auto size = static_cast<qsizetype>(name.size());
            if (written.contains(QByteArray::fromRawData(name.data(), size)))
                continue;
            written.insert(QByteArray(name.data(), size));
            QString reported = text::ReportedName(text::NameKey(name));
            if (listed.contains(reported))
                continue;
            names.append(std::move(reported));
            listed.insert(names.constLast());
        }
    }
    return names;
}

[[noreturn]] void RaiseInvalidCall(int dispatchId)
{
    throw ReaderError(ReaderError::Kind::InvalidCall, QStringLiteral("no member %1 to be called this way").arg(dispatchId));
}

void RequireArgs(int dispatchId, const QVariantList &args, qsizetype count)
{
    if (args.size() != count)
        throw ReaderError(ReaderError::Kind::InvalidCall, QStringLiteral("member %1 takes %2 arguments, not %3")
                                                              .arg(dispatchId)
                                                              .arg(count)
                                                              .arg(args.size()));
}

bool IsWholeNumber(const QVariant &value)
{
    static constexpr int kTypes[] = {QMetaType::Char,  QMetaType::SChar, QMetaType::UChar,    QMetaType::Short,
                                     QMetaType::UShort, QMetaType::Int,  QMetaType::UInt,     QMetaType::Long,
                                     QMetaType::ULong, QMetaType::LongLong, QMetaType::ULongLong};
    return std::find(std::begin(kTypes), std::end(kTypes), value.metaType().id()) != std::end(kTypes);
}

// Arguments are read as an automation caller's variants are converted: an
// empty one reads as empty text or 0, a number as its decimal text, numeric
// text as its number, rounded half to even where a whole number is taken.
QString TextArgument(const QVariant &value)
{
    const int type = value.metaType().id();
    if (type == QMetaType::UnknownType || type == QMetaType::QString)
        return value.toString();
    if (type == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (type == QMetaType::Double || type == QMetaType::Float) {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            throw ReaderError(ReaderError::Kind::Overflow, QStringLiteral("the argument is not a finite number"));
        return QString::number(number, 'g', 15).toUpper();
    }
    if (type == QMetaType::ULong || type == QMetaType::ULongLong)
        return QString::number(value.toULongLong());
    if (IsWholeNumber(value))
        return QString::number(value.toLongLong());
    throw ReaderError(ReaderError::Kind::TypeMismatch, QStringLiteral("the argument is not text"));
}

int32_t Int32Argument(const QVariant &value)
{
    const int type = value.metaType().id();
    if (type == QMetaType::UnknownType)
        return 0;
    if (type == QMetaType::Bool)
        return value.toBool() ? -1 : 0;
    std::optional<double> number;
    if (type == QMetaType::Double || type == QMetaType::Float || IsWholeNumber(value)) {
        number = value.toDouble();
    } else if (type == QMetaType::QString) {
        const QByteArray text = value.toString().toUtf8();
        number = text::ParseNumber(text::Trimmed(std::string_view(text.constData(), text.size())));
    }
    if (!number)
        throw ReaderError(ReaderError::Kind::TypeMismatch, QStringLiteral("the argument is not a number"));
    const double rounded = std::nearbyint(*number); // half to even in the default rounding mode
    if (!(rounded >= INT32_MIN && rounded <= INT32_MAX))
        throw ReaderError(ReaderError::Kind::Overflow, QStringLiteral("the argument is beyond 32 bits"));
    return static_cast<int32_t>(rounded);
}

} // namespace

AdifReader::AdifReader() = default;
AdifReader::~AdifReader() = default;

QVariant AdifReader::Invoke(int dispatchId, InvokeKind kind, const QVariantList &args)
{
    if (dispatchId == kFileName) {
        if (kind != InvokeKind::PropertyPut)
            RaiseInvalidCall(dispatchId);
        RequireArgs(dispatchId, args, 1);
        Open(TextArgument(args.at(0)));
        return QVariant();
    }
    if (dispatchId == kNextRecord) {
        if (kind != InvokeKind::Method)
            RaiseInvalidCall(dispatchId);
        RequireArgs(dispatchId, args, 0);
        return NextRecord() ? -1 : 0;
    }

    // Everything else is a property get.
    if (kind != InvokeKind::PropertyGet)
        RaiseInvalidCall(dispatchId);
    switch (dispatchId) {
    case kFieldValue: {
        RequireArgs(dispatchId, args, 1);
        return FieldValue(TextArgument(args.at(0)));
    }
    case kFieldName: {
        RequireArgs(dispatchId, args, 1);
        const int32_t position = Int32Argument(args.at(0));
        const QStringList &names = FieldNames();
        if (position < 0 || position >= names.size())
            throw ReaderError(ReaderError::Kind::OutOfRange, QStringLiteral("position %1 is outside the %2 field names")
                                                                 .arg(position)
                                                                 .arg(names.size()));
        return names.at(position);
    }
    default:
        break;
    }
    RequireArgs(dispatchId, args, 0);
    switch (dispatchId) {
    case kFrequency:
        return Frequency();
    case kSplitFrequency:
        return SplitFrequency();
    case kYear:
        return Time().year;
    case kMonth:
        return Time().month;
    case kDay:
        return Time().day;
    case kHour:
        return Time().hour;
    case kMinute:
        return Time().minute;
    case kSecond:
        return Time().second;
    case kMode:
        return Mode();
    case kFieldNameCount:
        return static_cast<int32_t>(FieldNames().size());
    default:
        RaiseInvalidCall(dispatchId);
    }
}

void AdifReader::Close()
{
    m_Parser.reset();
    m_HasRecord = false;
    m_Derived.reset();
    m_Lookup.reset();
    m_FieldNames.reset();
}

std::unique_ptr<RecordParser> AdifReader::MakeParser(std::unique_ptr<ByteSource> source) const
{
    const size_t maxRecord = m_MaxRecord ? m_MaxRecord : AdiParser::kMaxRecord;
    const std::string head = Head(*source->Clone());
    if (LooksLikeCabrillo(head))
        return std::make_unique<CabrilloParser>(std::move(source), m_Chunk ? m_Chunk : CabrilloParser::kChunk, maxRecord);
    if (LooksLikeXml(head))
        return std::make_unique<AdxParser>(std::move(source), m_Chunk ? m_Chunk : AdxParser::kChunk, maxRecord);
    return std::make_unique<AdiParser>(std::move(source), m_Chunk ? m_Chunk : AdiParser::kChunk, maxRecord);
}

void AdifReader::OpenSource(std::unique_ptr<ByteSource> source)
{
    m_Parser = MakeParser(std::move(source));
}

void AdifReader::Open(const QString &path)
{
    Close();
    m_Chunk = 0;
    m_MaxRecord = 0;
    if (!path.isEmpty())
        OpenSource(std::make_unique<FileSource>(path));
}

void AdifReader::OpenMemory(const QByteArray &data, size_t chunkBytes, size_t maxRecordBytes)
{
    Close();
    m_Chunk = chunkBytes;
    m_MaxRecord = maxRecordBytes;
    OpenSource(std::make_unique<MemorySource>(data));
}

bool AdifReader::NextRecord()
{
    m_HasRecord = false;
    m_Derived.reset();
    m_Lookup.reset();
    if (!m_Parser)
        return false;
    m_HasRecord = m_Parser->Next();
    return m_HasRecord;
}

const Derived &AdifReader::Current()
{
    if (!m_Derived)
        m_Derived = m_HasRecord ? Derive(*m_Parser) : Derived();
    return *m_Derived;
}

double AdifReader::Frequency() { return Current().frequency; }
double AdifReader::SplitFrequency() { return Current().splitFrequency; }
TimeStamp AdifReader::Time() { return Current().time; }
QString AdifReader::Mode() { return Current().mode; }

FieldLookup &AdifReader::Lookup()
{
    if (!m_Lookup)
        m_Lookup.emplace(*m_Parser);
    return *m_Lookup;
}

QString AdifReader::FieldValue(const QString &name)
{
    return m_HasRecord ? Lookup().Value(name) : QString();
}

QStringList AdifReader::CurrentFieldNames()
{
    return m_HasRecord ? Lookup().Names() : QStringList();
}

const QStringList &AdifReader::FieldNames()
{
    // One pass of its own, so the records being read stay where they are.
    if (!m_FieldNames)
        m_FieldNames = m_Parser ? GatherFieldNames(*MakeParser(m_Parser->Source().Clone())) : QStringList();
    return *m_FieldNames;
}

const Diagnostics &AdifReader::Diagnosed() const
{
    static const Diagnostics kNone;
    return m_Parser ? m_Parser->Diagnosed() : kNone;
}

bool AdifReader::IsCabrillo() const
{
    return dynamic_cast<const CabrilloParser *>(m_Parser.get()) != nullptr;
}

uint64_t AdifReader::XQsoCount() const
{
    const auto *cabrillo = dynamic_cast<const CabrilloParser *>(m_Parser.get());
    return cabrillo ? cabrillo->XQsoCount() : 0;
}

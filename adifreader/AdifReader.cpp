// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdifReader.h"

#include "AdiParser.h"
#include "AdxParser.h"
#include "CabrilloParser.h"
#include "ByteSource.h"
#include "Record.h"
#include "Text.h"

#include <QSet>
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

} // namespace

AdifReader::AdifReader() = default;
AdifReader::~AdifReader() = default;

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

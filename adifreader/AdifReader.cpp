#include "AdifReader.h"

#include "AdiParser.h"
#include "AdxParser.h"
#include "ByteSource.h"
#include "Numbers.h"
#include "Record.h"
#include "RuntimeError.h"
#include "Text.h"

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

using namespace adif;

namespace {

// ADX is told from ADI by its content: after an optional BOM and white space,
// an XML declaration, comment or doctype, or the <ADX> element itself.
bool LooksLikeXml(ByteSource &probe)
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
    while (!s.empty() && text::IsSpace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    return s.substr(0, 2) == "<?" || s.substr(0, 2) == "<!" || text::EqualsNoCase(s.substr(0, 4), "<ADX");
}

struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

void RequireArgs(const QVariantList &args, qsizetype count)
{
    if (args.size() != count)
        throw RuntimeError::InvalidCall();
}

} // namespace

AdifReader::AdifReader() = default;
AdifReader::~AdifReader() = default;

QVariant AdifReader::Invoke(int dispatchId, InvokeKind kind, const QVariantList &args)
{
    if (dispatchId == kFileName) {
        if (kind != InvokeKind::PropertyPut)
            throw RuntimeError::InvalidCall();
        RequireArgs(args, 1);
        SetFileName(Numbers::VariantToText(args.at(0)));
        return QVariant();
    }
    if (dispatchId == kNextRecord) {
        if (kind != InvokeKind::Method)
            throw RuntimeError::InvalidCall();
        RequireArgs(args, 0);
        return NextRecord();
    }

    // Everything else is a property get.
    if (kind != InvokeKind::PropertyGet)
        throw RuntimeError::InvalidCall();
    switch (dispatchId) {
    case kFieldValue: {
        RequireArgs(args, 1);
        if (!m_HasRecord)
            return QString();
        const QVariant &name = args.at(0);
        if (name.metaType().id() == QMetaType::QString) // the usual case, looked at in place
            return ::adif::FieldValue(*m_Parser, *static_cast<const QString *>(name.constData()));
        return ::adif::FieldValue(*m_Parser, Numbers::VariantToText(name));
    }
    case kFieldName: {
        RequireArgs(args, 1);
        const int32_t position = Numbers::VariantToInt32(args.at(0));
        const QStringList &names = FieldNames();
        if (position < 0 || position >= names.size())
            throw RuntimeError::SubscriptOutOfRange();
        return names.at(position);
    }
    default:
        break;
    }
    RequireArgs(args, 0);
    switch (dispatchId) {
    case kFrequency:
        return Current().frequency;
    case kSplitFrequency:
        return Current().splitFrequency;
    case kYear:
        return Current().year;
    case kMonth:
        return Current().month;
    case kDay:
        return Current().day;
    case kHour:
        return Current().hour;
    case kMinute:
        return Current().minute;
    case kSecond:
        return Current().second;
    case kMode:
        return Current().mode;
    case kFieldNameCount:
        return static_cast<int32_t>(FieldNames().size());
    default:
        throw RuntimeError::InvalidCall();
    }
}

void AdifReader::Close()
{
    m_Parser.reset();
    m_HasRecord = false;
    m_Derived.reset();
    m_FieldNames.reset();
}

std::unique_ptr<RecordParser> AdifReader::MakeParser(std::unique_ptr<ByteSource> source) const
{
    if (LooksLikeXml(*source->Clone()))
        return std::make_unique<AdxParser>(std::move(source));
    return std::make_unique<AdiParser>(std::move(source), m_Chunk ? m_Chunk : AdiParser::kChunk);
}

void AdifReader::Open(std::unique_ptr<ByteSource> source)
{
    m_Parser = MakeParser(std::move(source));
}

void AdifReader::SetFileName(const QString &name)
{
    Close();
    m_Chunk = 0;
    if (!name.isEmpty())
        Open(std::make_unique<FileSource>(name));
}

void AdifReader::OpenMemory(const QByteArray &data, size_t chunkBytes)
{
    Close();
    m_Chunk = chunkBytes;
    Open(std::make_unique<MemorySource>(data));
}

int AdifReader::NextRecord()
{
    m_HasRecord = false;
    m_Derived.reset();
    if (!m_Parser)
        return 0;
    m_HasRecord = m_Parser->Next();
    return m_HasRecord ? -1 : 0;
}

const Derived &AdifReader::Current()
{
    if (!m_Derived)
        m_Derived = m_HasRecord ? Derive(*m_Parser, m_ModeCache) : Derived();
    return *m_Derived;
}

const QStringList &AdifReader::FieldNames()
{
    if (!m_FieldNames) {
        QStringList names;
        if (m_Parser) {
            // One pass of its own, so the records being read stay where they are.
            const auto pass = MakeParser(m_Parser->Source().Clone());
            std::unordered_set<std::string, NameHash, std::equal_to<>> seen;
            std::vector<std::string> previous; // the last record's names: most records repeat them
            std::string upper;
            while (pass->Next()) {
                const auto &fields = pass->Fields();
                if (previous.size() < fields.size())
                    previous.resize(fields.size());
                for (size_t i = 0; i < fields.size(); ++i) {
                    const std::string_view name = pass->Name(fields[i]);
                    if (previous[i] == name)
                        continue;
                    previous[i].assign(name);
                    upper.assign(name);
                    bool ascii = true;
                    for (char &c : upper) {
                        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
                        c = static_cast<char>(text::AsciiUpper(static_cast<unsigned char>(c)));
                    }
                    if (!ascii) { // key by the name as reported, so no two entries read the same
                        upper.assign(1, '\x01');
                        upper += text::UpperName(name).toStdString();
                    }
                    if (seen.find(std::string_view(upper)) == seen.end()) {
                        seen.insert(upper);
                        names.append(text::UpperName(name));
                    }
                }
            }
        }
        m_FieldNames = std::move(names);
    }
    return *m_FieldNames;
}

QStringList AdifReader::CurrentFieldNames() const
{
    QStringList names;
    if (!m_HasRecord)
        return names;
    for (const FieldRef &f : m_Parser->Fields()) {
        const QString name = text::UpperName(m_Parser->Name(f));
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}

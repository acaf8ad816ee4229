// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdiParser.h"

#include "ReaderError.h"
#include "Text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace adif {

namespace {

constexpr size_t kMaxNameLength = 256;
constexpr size_t kMaxTypeLength = 32;
constexpr uint64_t kWalkAllowance = 4 * 1024;
constexpr uint64_t kLongBlankRun = 64;

// What each byte is to a tag's name: most bytes may be in it, ':' and '>'
// end it, and the others (control bytes, '<', '{', '}', ',') show the '<'
// before them to be text.
enum NameByte : unsigned char { kInName, kEndsName, kNotInName };
constexpr std::array<NameByte, 256> kNameBytes = [] {
    std::array<NameByte, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = c < 0x20 || c == '<' || c == '{' || c == '}' || c == ',' ? kNotInName : kInName;
    table[':'] = table['>'] = kEndsName;
    return table;
}();

size_t ClampedChunk(size_t chunk) { return std::clamp<size_t>(chunk, 16, kMaxRecordLimit); }

} // namespace

AdiParser::AdiParser(std::unique_ptr<ByteSource> source, size_t chunk, size_t maxRecord)
    : m_MaxRecord(std::clamp(maxRecord, ClampedChunk(chunk), kMaxRecordLimit)),
      m_Bytes(std::move(source), ClampedChunk(chunk), m_MaxRecord)
{
}

bool AdiParser::Fill()
{
    if (m_Bytes.Full())
        TooLarge(m_Bytes.Offset()); // the current record holds all it may, and needs more
    return m_Bytes.Fill();
}

bool AdiParser::FillTo(size_t p)
{
    while (p >= Avail())
        if (!Fill())
            return false;
    return true;
}

void AdiParser::TooLarge(uint64_t recordAt)
{
    m_Done = true;
    throw ReaderError(ReaderError::Kind::RecordTooLong,
                      QStringLiteral("the record at byte %1 is longer than %2 bytes").arg(recordAt).arg(m_MaxRecord),
                      m_Bytes.Source().Name(), recordAt);
}

bool AdiParser::Next()
{
    ClearFields();
    if (m_Done)
        return false;
    m_Bytes.Advance(m_Resume);
    m_Resume = 0;
    m_Walked = 0;
    try {
        // m_Done may be set by ReadRecord while it still delivers a final record.
        if (ReadRecord()) {
            m_Base = Data();
            m_Delivered = true;
            return true;
        }
    } catch (...) {
        m_Done = true;
        ClearFields();
        throw;
    }
    m_Done = true;
    ClearFields();
    return false;
}

bool AdiParser::ReadRecord()
{
    size_t p = 0;
    Tag tag;
    for (;;) {
        // Text before the first field of a record is no part of it: let it go.
        if (m_Fields.empty() && p) {
            m_Bytes.Advance(p);
            p = 0;
        }
        if (!FindTagStart(p)) {
            m_Done = true; // nothing follows this one
            return !m_Fields.empty(); // a final record without <EOR>
        }
        ParseTag(p, tag);
        switch (tag.kind) {
        case Tag::NotATag:
            ++p;
            break;
        case Tag::Truncated:
            m_Done = true;
            return !m_Fields.empty();
        case Tag::TruncatedSpecifier:
            ReportFileEndsInTag(p);
            return false; // the file ends inside a field: that record is incomplete
        case Tag::Plain: {
            const std::string_view name(Data() + tag.nameOff, tag.nameLen);
            if (text::EqualsNoCase(name, "EOR")) {
                if (!m_Fields.empty()) {
                    m_Resume = tag.end;
                    return true;
                }
            } else if (text::EqualsNoCase(name, "EOH") && !m_Delivered) {
                // Everything so far was header.
                ClearFields();
            }
            p = tag.end;
            break;
        }
        case Tag::Specifier: {
            size_t next = 0;
            if (!TakeValue(tag, next))
                return false;
            p = next;
            break;
        }
        }
    }
}

// Moves p to the next '<' from p on; false at the end of the data.
bool AdiParser::FindTagStart(size_t &p)
{
    for (;;) {
        if (p < Avail()) {
            const void *lt = std::memchr(Data() + p, '<', Avail() - p);
            if (lt) {
                p = static_cast<size_t>(static_cast<const char *>(lt) - Data());
                return true;
            }
            p = Avail();
        }
        if (m_Fields.empty()) { // no need to keep text between records while refilling
            m_Bytes.Advance(p);
            p = 0;
        }
        if (!Fill())
            return false;
    }
}

// The tag that the '<' at p opens: <NAME>, or a Data-Specifier
// <NAME:LENGTH> or <NAME:LENGTH:TYPE>, blanks around the length tolerated;
// anything else is text that merely holds '<'.
void AdiParser::ParseTag(size_t p, Tag &tag)
{
    tag = Tag();
    const size_t nameOff = p + 1;
    size_t q = nameOff;
    unsigned char c = 0;
    for (;;) {
        if (!Have(q)) {
            tag.kind = Tag::Truncated;
            return;
        }
        c = At(q);
        if (kNameBytes[c] == kEndsName)
            break;
        if (kNameBytes[c] == kNotInName || q - nameOff >= kMaxNameLength)
            return;
        ++q;
    }
    tag.nameOff = nameOff;
    tag.nameLen = q - nameOff;
    if (tag.nameLen == 0 || At(tag.nameOff) == ' ')
        return;
    while (At(tag.nameOff + tag.nameLen - 1) == ' ')
        --tag.nameLen;
    if (c == '>') {
        tag.kind = Tag::Plain;
        tag.end = q + 1;
        return;
    }

    ++q;
    auto next = [&]() -> bool {
        if (!Have(q))
            return false;
        c = At(q);
        return true;
    };
    auto truncated = [&tag] { tag.kind = Tag::TruncatedSpecifier; };
    auto skipBlanks = [&]() -> bool {
        while (c == ' ') {
            ++q;
            if (!next())
                return false;
        }
        return true;
    };
    if (!next() || !skipBlanks())
        return truncated();
    bool digits = false;
    uint64_t length = 0;
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    while (c >= '0' && c <= '9') {
        const uint64_t d = c - '0';
        // Saturate: a length beyond 64 bits is simply beyond the file.
        length = length > (kMax - d) / 10 ? kMax : length * 10 + d;
        digits = true;
        ++q;
        if (!next())
            return truncated();
    }
    if (!skipBlanks())
        return truncated();
    if (!digits)
        return;
    if (c == ':') {
        const size_t typeStart = ++q;
        for (;;) {
            if (!next())
                return truncated();
            if (c == '>')
                break;
            if (c == '<' || c == ':' || q - typeStart >= kMaxTypeLength)
                return;
            ++q;
        }
    }
    if (c != '>')
        return;
    tag.kind = Tag::Specifier;
    tag.length = length;
    tag.end = q + 1;
}

bool AdiParser::AtBoundary(size_t pos, size_t &next)
{
    // The damaged lengths of many records may all end in one long run of
    // blanks: it is scanned once.
    const uint64_t at = FileOffset(pos);
    const bool known = at >= m_BlanksFrom && at < m_BlanksTo;
    const uint64_t runFrom = known ? m_BlanksFrom : at;
    if (known)
        pos += static_cast<size_t>(m_BlanksTo - at);
    bool boundary = true; // the end of the data is one
    while (Have(pos)) {
        const unsigned char c = At(pos);
        if (!text::IsSpace(c)) {
            boundary = c == '<';
            break;
        }
        ++pos;
    }
    if (FileOffset(pos) - runFrom > kLongBlankRun) {
        m_BlanksFrom = runFrom;
        m_BlanksTo = FileOffset(pos);
    }
    next = pos;
    return boundary;
}

// Walks a declared length from start, counting units: with characters, a
// UTF-8 continuation byte adds nothing to the character before; with crlf,
// a bare LF counts as the CR LF it was written as. False when the data ends
// first, or when the walk would go past the file-wide allowance.
bool AdiParser::Walk(size_t start, uint64_t length, bool characters, bool crlf, size_t &end)
{
    size_t s = start;
    uint64_t units = 0;
    bool lostCr = false; // the count ended on the CR of a line break that is now a bare LF
    bool pastRecord = false; // met the <EOR> that ends the record: what follows is another record's
    while (units < length && !lostCr) {
        if (!Have(s))
            return false;
        if (!pastRecord && At(s) == '<')
            pastRecord = OpensEor(s);
        // What is buffered is walked without asking for more byte by byte:
        // up to the next '<', which may end the record, or past the record's
        // end as far as the whole file's allowance goes.
        size_t stop = Avail();
        if (!pastRecord) {
            const void *lt = std::memchr(Data() + s + 1, '<', stop - s - 1);
            stop = lt ? static_cast<size_t>(static_cast<const char *>(lt) - Data()) : stop;
        } else {
            const uint64_t left = FarWalkLeft();
            if (left == 0)
                return false;
            stop = static_cast<size_t>(std::min<uint64_t>(stop, s + left));
        }
        const size_t from = s;
        for (; s < stop && units < length; ++s) {
            const unsigned char c = At(s);
            if (crlf && c == '\n' && At(s - 1) != '\r') {
                lostCr = units + 2 > length;
                if (lostCr)
                    break;
                units += 2;
            } else if (!characters || (c & 0xC0) != 0x80) {
                units += 1;
            }
        }
        m_Walked += s - from;
        if (pastRecord)
            m_FarWalked += s - from;
    }
    while (characters && Have(s) && (At(s) & 0xC0) == 0x80) {
        if (pastRecord) {
            if (FarWalkLeft() == 0)
                return false;
            ++m_FarWalked;
        }
        ++s;
    }
    end = s;
    return true;
}

// Whether the '<' at p opens <EOR> (any letter case, blanks before '>'),
// the tag that ends a record.
bool AdiParser::OpensEor(size_t p)
{
    size_t q = p + 1;
    for (const char letter : {'E', 'O', 'R'}) {
        if (!Have(q) || text::AsciiUpper(At(q)) != letter)
            return false;
        ++q;
    }
    while (Have(q) && At(q) == ' ' && q - p <= kMaxNameLength)
        ++q;
    return Have(q) && At(q) == '>';
}

// Readings that run past the end of their record are what damaged lengths
// do, not sound ones. Over the whole file they may walk four times the bytes
// read so far; more is refused, so that damage costs time in proportion to
// the file, whatever its shape.
uint64_t AdiParser::FarWalkLeft() const
{
    const uint64_t allowed = 4 * m_Bytes.Offset() + kWalkAllowance;
    return allowed > m_FarWalked ? allowed - m_FarWalked : 0;
}

bool AdiParser::TakeValue(const Tag &tag, size_t &next)
{
    const size_t start = tag.end;
    if (tag.length > m_MaxRecord - start)
        return TakeValueBeyondLimit(tag, next);

    // The declared length read as bytes holds when it ends at a boundary.
    const size_t byteEnd = start + static_cast<size_t>(tag.length);
    const bool bytesFit = tag.length == 0 || Have(byteEnd - 1);
    size_t end = byteEnd;
    if (!(bytesFit && AtBoundary(byteEnd, next)) && !OtherReading(start, tag.length, bytesFit, end, next)) {
        // No reading ends at a boundary, so the length is damaged. Where its
        // bytes would swallow a well-formed tag, the value ends before that
        // tag and what follows is kept; else the bytes stand (junk after the
        // value, a length too short), unless they run past the end.
        size_t swallowed = 0;
        if (FindWellFormedTag(start, byteEnd, swallowed)) {
            end = next = swallowed;
            ReportCut(tag, swallowed, bytesFit ? "which run into a tag" : "past the end of the file");
        } else if (bytesFit) {
            next = byteEnd;
        } else {
            ReportDropped(FileOffset(tag.nameOff - 1), DeclaredLength(tag));
            return false;
        }
    }
    AddField(tag, start, end);
    return true;
}

void AdiParser::AddField(const Tag &tag, size_t start, size_t end)
{
    m_Fields.push_back(FieldRef::At(tag.nameOff, tag.nameLen, start, end - start));
}

// The writer may have counted characters of UTF-8 text, or CR LF line
// breaks that are now bare LF: the first such reading that ends at a
// boundary, if any.
bool AdiParser::OtherReading(size_t start, uint64_t length, bool bytesFit, size_t &end, size_t &next)
{
    // When the bytes run past the end, all the data is buffered. A reading
    // that needs more of it than is left is not walked at all: a character
    // takes a byte at least, a line break counted as two a byte.
    const size_t left = bytesFit ? SIZE_MAX : Avail() - start;
    // Lengths that overlap, each cut short by the next tag, would have every
    // field walk the rest of the record. Sound lengths walk at most about
    // three times the bytes they take; past four times what the record has
    // used, its lengths are no longer walked: reading stays linear in the
    // record's size.
    const size_t used = m_Fields.empty() ? 0 : start - m_Fields.front().nameOff;
    if (m_Walked > 4 * uint64_t(used) + kWalkAllowance)
        return false;
    static constexpr bool kReadings[3][2] = {{true, false}, {false, true}, {true, true}};
    for (const auto &reading : kReadings) {
        const uint64_t leastBytes = reading[1] ? length / 2 : length;
        size_t candidate = 0;
        if (leastBytes <= left && Walk(start, length, reading[0], reading[1], candidate)
            && candidate != start + length && AtBoundary(candidate, next)) {
            end = candidate;
            return true;
        }
    }
    return false;
}

// A declared length that would take the record past its size limit cannot
// be held as declared. It is trusted only as far as the first well-formed
// tag after the value within the limit; with none there, the record is too
// large, or the file ends inside the field.
bool AdiParser::TakeValueBeyondLimit(const Tag &tag, size_t &next)
{
    const size_t start = tag.end;
    size_t swallowed = 0;
    if (!FindWellFormedTag(start, m_MaxRecord, swallowed)) {
        const uint64_t at = FileOffset(tag.nameOff - 1);
        const QString declared = DeclaredLength(tag);
        SkipHugeValue(start, tag.length); // returns only when the file ends first
        ReportDropped(at, declared);
        return false;
    }
    ReportCut(tag, swallowed, "more than a record may hold");
    AddField(tag, start, swallowed);
    next = swallowed;
    return true;
}

// The first tag in [from, to) that the parser would read as <EOR>, <EOH>
// or a Data-Specifier; false when there is none.
bool AdiParser::FindWellFormedTag(size_t from, size_t to, size_t &at)
{
    size_t p = from;
    while (p < to && Have(p)) {
        const size_t stop = std::min(Avail(), to);
        const void *lt = std::memchr(Data() + p, '<', stop - p);
        if (!lt) {
            p = stop;
            continue;
        }
        p = static_cast<size_t>(static_cast<const char *>(lt) - Data());
        Tag tag;
        ParseTag(p, tag);
        if (tag.kind == Tag::Specifier) {
            at = p;
            return true;
        }
        if (tag.kind == Tag::Plain) {
            const std::string_view name(Data() + tag.nameOff, tag.nameLen);
            if (text::EqualsNoCase(name, "EOR") || text::EqualsNoCase(name, "EOH")) {
                at = p;
                return true;
            }
        }
        ++p;
    }
    return false;
}

QString AdiParser::DeclaredLength(const Tag &tag) const
{
    return QStringLiteral("%1 declares %2 bytes")
        .arg(text::Decode(std::string_view(Data() + tag.nameOff, tag.nameLen)))
        .arg(tag.length);
}

void AdiParser::ReportCut(const Tag &tag, size_t swallowed, const char *why)
{
    Diagnose(FileOffset(tag.nameOff - 1), [&] {
        return QStringLiteral("%1, %2: the value ends before the tag at byte %3")
            .arg(DeclaredLength(tag), QLatin1StringView(why))
            .arg(FileOffset(swallowed));
    });
}

void AdiParser::ReportDropped(uint64_t at, const QString &declared)
{
    Diagnose(at, [&] { return declared + QStringLiteral(", past the end of the file: the record it is in is dropped"); });
}

void AdiParser::ReportFileEndsInTag(size_t p)
{
    Diagnose(FileOffset(p), [] { return QStringLiteral("the file ends inside this tag: the record it is in is dropped"); });
}

void AdiParser::SkipHugeValue(size_t start, uint64_t length)
{
    // Too long to hold: find out, without holding it, whether the file even
    // has that many bytes. If not, the file ends inside this field.
    const uint64_t recordAt = m_Bytes.Offset();
    uint64_t seen = Avail() - start;
    while (seen < length) {
        m_Bytes.Advance(Avail());
        if (!m_Bytes.Fill())
            return;
        seen += Avail();
    }
    TooLarge(recordAt);
}

} // namespace adif

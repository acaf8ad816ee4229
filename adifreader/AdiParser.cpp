// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdiParser.h"

#include "ReaderError.h"
#include "Text.h"

#include <algorithm>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace adif {

namespace {

constexpr size_t kFirstBuffer = 16 * 1024; // small inputs never pay for a full chunk
constexpr size_t kMaxNameLength = 256;
constexpr size_t kMaxTypeLength = 32;
constexpr uint64_t kWalkAllowance = 4 * 1024;
constexpr uint64_t kLongBlankRun = 64;

// The LENGTH[:TYPE]> part of a Data-Specifier from q, within the buffered
// bytes, with at most maxDigits digits. False when it is not wholly there,
// too long or not well formed; then q is of no use. Else q stands after '>'.
inline bool ReadLengthAndType(const unsigned char *b, size_t avail, size_t maxDigits, size_t &q, uint64_t &length)
{
    const size_t digitsStart = q;
    const size_t digitsLimit = std::min(avail, q + maxDigits + 1); // one more than may be: too long
    length = 0;
    for (unsigned digit; q < digitsLimit && (digit = b[q] - unsigned('0')) <= 9; ++q)
        length = length * 10 + digit;
    if (q == digitsStart || q >= avail || q - digitsStart > maxDigits)
        return false;
    if (b[q] == ':') {
        const size_t typeStart = ++q;
        while (q < avail && b[q] != '>' && b[q] != '<' && b[q] != ':' && q - typeStart < kMaxTypeLength)
            ++q;
        if (q >= avail)
            return false;
    }
    if (b[q] != '>')
        return false;
    ++q;
    return true;
}

// Byte classes inside a tag.
enum : unsigned char { kNameByte, kColon, kClose, kNotInName };

struct TagBytes {
    unsigned char cls[256];
    constexpr TagBytes() : cls()
    {
        for (int c = 0; c < 256; ++c)
            cls[c] = c < 0x20 || c == '<' || c == '{' || c == '}' || c == ',' ? kNotInName : kNameByte;
        cls[static_cast<unsigned char>(':')] = kColon;
        cls[static_cast<unsigned char>('>')] = kClose;
    }
};
constexpr TagBytes kTagBytes;

// Where the run of name bytes from q ends, at limit at the latest; high is
// not 0 when any of them has its top bit set. Any byte that cannot be in a name
// ends the run. With SSE2, 16 bytes are looked at in one go: most names are
// shorter, so one step usually finds the colon.
inline size_t EndOfName(const unsigned char *b, size_t q, size_t limit, unsigned &high)
{
#if defined(__SSE2__)
    const __m128i lastControl = _mm_set1_epi8(0x1F);
    while (limit - q >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + q));
        __m128i stop = _mm_cmpeq_epi8(_mm_min_epu8(v, lastControl), v); // below 0x20
        for (const char c : {':', '>', '<', '{', '}', ','})
            stop = _mm_or_si128(stop, _mm_cmpeq_epi8(v, _mm_set1_epi8(c)));
        const unsigned stops = static_cast<unsigned>(_mm_movemask_epi8(stop));
        const unsigned tops = static_cast<unsigned>(_mm_movemask_epi8(v));
        if (stops) {
            const unsigned n = static_cast<unsigned>(__builtin_ctz(stops));
            high |= tops & ((1u << n) - 1);
            return q + n;
        }
        high |= tops;
        q += 16;
    }
#endif
    for (; q < limit && kTagBytes.cls[b[q]] == kNameByte; ++q)
        high |= b[q] & 0x80;
    return q;
}

// How many bytes from b, at most limit, each count one unit when a length
// is walked: with characters, no UTF-8 continuation byte; with crlf, no line
// feed. The walk looks at the byte that ends the run on its own. With SSE2,
// 16 bytes are looked at in one go.
inline size_t PlainRun(const unsigned char *b, size_t limit, bool characters, bool crlf)
{
    size_t n = 0;
#if defined(__SSE2__)
    while (limit - n >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + n));
        __m128i special = _mm_setzero_si128();
        if (characters)
            special = _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(char(0xC0))), _mm_set1_epi8(char(0x80)));
        if (crlf)
            special = _mm_or_si128(special, _mm_cmpeq_epi8(v, _mm_set1_epi8('\n')));
        const unsigned stops = static_cast<unsigned>(_mm_movemask_epi8(special));
        if (stops)
            return n + static_cast<unsigned>(__builtin_ctz(stops));
        n += 16;
    }
#endif
    for (; n < limit; ++n) {
        const unsigned char c = b[n];
        if ((characters && (c & 0xC0) == 0x80) || (crlf && c == '\n'))
            break;
    }
    return n;
}

// <EOR> exactly, in any letter case, wholly within the buffered bytes.
inline bool IsPlainEor(const unsigned char *b, size_t avail, size_t p)
{
    return avail - p >= 5 && text::AsciiUpper(b[p + 1]) == 'E' && text::AsciiUpper(b[p + 2]) == 'O'
           && text::AsciiUpper(b[p + 3]) == 'R' && b[p + 4] == '>';
}

} // namespace

AdiParser::AdiParser(std::unique_ptr<ByteSource> source, size_t chunk, size_t maxRecord)
    : m_Source(std::move(source)), m_Chunk(std::clamp<size_t>(chunk, 16, kMaxRecordLimit)),
      m_MaxRecord(std::clamp(maxRecord, m_Chunk, kMaxRecordLimit))
{
}

bool AdiParser::Fill()
{
    if (m_SourceDone)
        return false;
    if (m_Rec > 0) {
        std::memmove(m_Buf.get(), m_Buf.get() + m_Rec, m_End - m_Rec);
        m_Offset += m_Rec;
        m_End -= m_Rec;
        m_Rec = 0;
    }
    size_t want = m_Cap ? m_Cap : std::min(kFirstBuffer, m_Chunk);
    if (m_Cap && m_Cap < m_Chunk && m_Offset + m_End >= m_Cap)
        want = m_Chunk; // the first buffer was not enough: a real file
    if (m_End >= m_MaxRecord)
        TooLarge(); // the current record holds all it may, and needs more
    if (m_End > want - want / 4) {
        // The current record fills most of the buffer. Refilling the little
        // left would move the record once for every few bytes read (a
        // damaged length looks far ahead of each small record): a larger one.
        want = std::min(want * 2, 2 * m_MaxRecord);
    }
    if (want != m_Cap) {
        std::unique_ptr<char[]> grown(new char[want]); // no zeroing: every byte is read before use
        if (m_End)
            std::memcpy(grown.get(), m_Buf.get(), m_End);
        m_Buf = std::move(grown);
        m_Cap = want;
    }
    const size_t n = m_Source->Read(m_Buf.get() + m_End, std::min(m_Cap, m_MaxRecord) - m_End);
    if (n == 0) {
        m_SourceDone = true;
        return false;
    }
    m_End += n;
    return true;
}

bool AdiParser::HaveSlow(size_t p)
{
    while (p >= Avail())
        if (!Fill())
            return false;
    return true;
}

void AdiParser::TooLarge()
{
    m_Done = true;
    const uint64_t at = m_Offset + m_Rec;
    throw ReaderError(ReaderError::Kind::RecordTooLong,
                      QStringLiteral("the record at byte %1 is longer than %2 bytes").arg(at).arg(m_MaxRecord),
                      m_Source->Name(), at);
}

bool AdiParser::Next()
{
    ClearFields();
    if (m_Done)
        return false;
    m_Rec += m_Resume;
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
            m_Rec += p;
            p = 0;
        }
        const void *lt = p < Avail() && Data()[p] == '<' ? Data() + p : nullptr;
        while (!lt) {
            if (p < Avail()) {
                lt = std::memchr(Data() + p, '<', Avail() - p);
                if (lt)
                    break;
                p = Avail();
            }
            if (m_Fields.empty()) { // no need to keep text between records while refilling
                m_Rec += p;
                p = 0;
            }
            if (!Fill()) {
                m_Done = true; // nothing follows this one
                return !m_Fields.empty(); // a final record without <EOR>
            }
        }
        p = FastFields(static_cast<size_t>(static_cast<const char *>(lt) - Data()));
        if (IsPlainEor(Bytes(), Avail(), p)) { // the end of nearly every record
            if (!m_Fields.empty()) {
                m_Resume = p + 5;
                return true;
            }
            p += 5;
            continue;
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

// The common case in one go: Data-Specifiers whose declared bytes end right
// before the next tag (blanks between allowed), all within the buffer, one
// after another from the '<' at p. Answers where the first tag that is not
// such a field starts: p itself when there is none.
inline size_t AdiParser::FastFields(size_t p)
{
    const unsigned char *b = Bytes();
    const size_t avail = Avail();
    unsigned high = 0;
    for (;;) {
        size_t q = p + 1;
        const size_t nameLimit = std::min(avail, q + kMaxNameLength + 1); // names up to kMaxNameLength
        unsigned nameHigh = 0;
        q = EndOfName(b, q, nameLimit, nameHigh);
        if (q >= nameLimit || b[q] != ':' || q == p + 1 || b[p + 1] == ' ' || b[q - 1] == ' ')
            break;
        const size_t nameEnd = q++;
        uint64_t length = 0;
        // Up to 12 digits: start + length cannot overflow.
        if (!ReadLengthAndType(b, avail, 12, q, length))
            break;
        const size_t start = q;
        size_t s = start + length;
        if (s + 1 < avail && b[s + 1] == '<' && text::IsSpace(b[s])) {
            ++s; // one blank between fields, the usual layout
        } else {
            const size_t limit = std::min(avail, s + 16);
            while (s < limit && text::IsSpace(b[s]))
                ++s;
            if (s >= limit || b[s] != '<')
                break;
        }
        m_Fields.push_back(FieldRef::At(p + 1, nameEnd - p - 1, start, length));
        high |= nameHigh;
        p = s;
    }
    if (high)
        m_NamesAscii = false;
    return p;
}

// The usual case, a well-formed tag wholly in the buffer, without refill
// checks per byte. False when the tag reaches the end of the buffered bytes;
// ParseTag then reads it the careful way.
inline bool AdiParser::ParseTagInBuffer(size_t p, Tag &tag) const
{
    const unsigned char *b = Bytes();
    const size_t avail = Avail();
    size_t q = p + 1;
    const size_t nameLimit = std::min(avail, q + kMaxNameLength + 1); // names up to kMaxNameLength
    unsigned char cls = kNameByte;
    while (q < nameLimit && (cls = kTagBytes.cls[b[q]]) == kNameByte)
        ++q;
    if (q == avail)
        return false;
    tag.nameOff = p + 1;
    tag.nameLen = q - tag.nameOff;
    if (cls == kNotInName || q == nameLimit || tag.nameLen == 0 || b[tag.nameOff] == ' ') {
        tag.kind = Tag::NotATag;
        return true;
    }
    while (b[tag.nameOff + tag.nameLen - 1] == ' ')
        --tag.nameLen;
    if (cls == kClose) {
        tag.kind = Tag::Plain;
        tag.end = q + 1;
        return true;
    }
    ++q;
    uint64_t length = 0;
    // Up to 18 digits cannot overflow; longer lengths go the careful way.
    if (!ReadLengthAndType(b, avail, 18, q, length))
        return false;
    tag.kind = Tag::Specifier;
    tag.length = length;
    tag.end = q;
    return true;
}

void AdiParser::ParseTag(size_t p, Tag &tag)
{
    if (ParseTagInBuffer(p, tag))
        return;
    tag = Tag();
    size_t q = p + 1;
    tag.nameOff = q;
    unsigned char c = 0;
    for (;;) {
        if (!Have(q)) {
            tag.kind = Tag::Truncated;
            return;
        }
        c = Bytes()[q];
        if (c == ':' || c == '>')
            break;
        if (c == '<' || c < 0x20 || c == '{' || c == '}' || c == ',' || q - tag.nameOff >= kMaxNameLength)
            return; // text that merely contains '<'
        ++q;
    }
    tag.nameLen = q - tag.nameOff;
    if (tag.nameLen == 0 || Bytes()[tag.nameOff] == ' ')
        return;
    while (Bytes()[tag.nameOff + tag.nameLen - 1] == ' ')
        --tag.nameLen;
    if (c == '>') {
        tag.kind = Tag::Plain;
        tag.end = q + 1;
        return;
    }

    // ':' LENGTH [':' TYPE] '>'; blanks around the length are tolerated.
    ++q;
    auto next = [&]() -> bool {
        if (!Have(q))
            return false;
        c = Bytes()[q];
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
    return;
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
        const unsigned char c = Bytes()[pos];
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

bool AdiParser::Walk(size_t start, uint64_t length, bool characters, bool crlf, size_t &end)
{
    size_t s = start;
    uint64_t units = 0;
    bool lostCr = false; // the count ended on the CR of a line break that is now a bare LF
    bool pastRecord = false; // met the <EOR> that ends the record: what follows is another record's
    while (units < length && !lostCr) {
        if (!Have(s))
            return false;
        if (!pastRecord && Bytes()[s] == '<')
            pastRecord = OpensEor(s);
        // What is buffered is walked without asking for more byte by byte:
        // up to the next '<', which may end the record, or past the record's
        // end as far as the whole file's allowance goes.
        const unsigned char *b = Bytes();
        size_t stop = Avail();
        if (!pastRecord) {
            const void *lt = std::memchr(b + s + 1, '<', stop - s - 1);
            stop = lt ? static_cast<size_t>(static_cast<const unsigned char *>(lt) - b) : stop;
        } else {
            const uint64_t left = FarWalkLeft();
            if (left == 0)
                return false;
            stop = static_cast<size_t>(std::min<uint64_t>(stop, s + left));
        }
        const size_t from = s;
        while (s < stop && units < length) {
            const size_t plain = PlainRun(b + s, static_cast<size_t>(std::min<uint64_t>(stop - s, length - units)),
                                          characters, crlf);
            s += plain;
            units += plain;
            if (s == stop || units == length)
                break;
            const unsigned char c = b[s];
            if (crlf && c == '\n' && b[s - 1] != '\r') {
                lostCr = units + 2 > length;
                if (lostCr)
                    break;
                units += 2;
            } else if (!characters || (c & 0xC0) != 0x80) { // a continuation byte adds to the character before
                units += 1;
            }
            ++s;
        }
        m_Walked += s - from;
        if (pastRecord)
            m_FarWalked += s - from;
    }
    while (characters && Have(s) && (Bytes()[s] & 0xC0) == 0x80) {
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
        if (!Have(q) || text::AsciiUpper(Bytes()[q]) != letter)
            return false;
        ++q;
    }
    while (Have(q) && Bytes()[q] == ' ' && q - p <= kMaxNameLength)
        ++q;
    return Have(q) && Bytes()[q] == '>';
}

// Readings that run past the end of their record are what damaged lengths
// do, not sound ones. Over the whole file they may walk four times the bytes
// read so far; more is refused, so that damage costs time in proportion to
// the file, whatever its shape.
uint64_t AdiParser::FarWalkLeft() const
{
    const uint64_t allowed = 4 * (m_Offset + m_Rec) + kWalkAllowance;
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
    m_Fields.push_back(FieldRef::At(tag.nameOff, tag.nameLen, start, end - start));
    NoteName(std::string_view(Data() + tag.nameOff, tag.nameLen));
    return true;
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
    m_Fields.push_back(FieldRef::At(tag.nameOff, tag.nameLen, start, swallowed - start));
    NoteName(std::string_view(Data() + tag.nameOff, tag.nameLen));
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
    uint64_t seen = Avail() - start;
    while (seen < length) {
        m_Rec = m_End;
        if (!Fill())
            return;
        seen += Avail();
    }
    TooLarge();
}

} // namespace adif

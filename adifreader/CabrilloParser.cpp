// SPDX-License-Identifier: GPL-3.0-or-later
#include "CabrilloParser.h"

#include "Text.h"

#include <QByteArray>
#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace adif {

namespace {

constexpr size_t kFirstBuffer = 16 * 1024; // small inputs never pay for a full chunk
// A record holds a copy of its line and may repeat its tokens in the joined
// exchanges, so a line of a quarter of the record limit still fits the
// record's 32-bit offsets.
constexpr size_t kMostHeld = kMaxRecordLimit / 4;

} // namespace

// The band tokens above HF and their ADIF bands.
struct BandToken {
    std::string_view token;
    std::string_view band;
};

namespace {

constexpr BandToken kBandTokens[] = {
    {"50", "6m"},      {"70", "4m"},     {"144", "2m"},    {"222", "1.25m"}, {"432", "70cm"},   {"902", "33cm"},
    {"1.2G", "23cm"},  {"2.3G", "13cm"}, {"3.4G", "9cm"},  {"5.7G", "6cm"},  {"10G", "3cm"},    {"24G", "1.25cm"},
    {"47G", "6mm"},    {"75G", "4mm"},   {"122G", "2.5mm"}, {"134G", "2mm"}, {"241G", "1mm"},
};

// The tags a reader of the records acts on; every other tag is passed over.
enum class Tag { Other, Qso, XQso, Contest, EndOfLog };

// One comparison per line: the tags differ in length.
Tag LineTag(std::string_view tag)
{
    switch (tag.size()) {
    case 3:
        return text::EqualsNoCase(tag, "QSO") ? Tag::Qso : Tag::Other;
    case 5:
        return text::EqualsNoCase(tag, "X-QSO") ? Tag::XQso : Tag::Other;
    case 7:
        return text::EqualsNoCase(tag, "CONTEST") ? Tag::Contest : Tag::Other;
    case 10:
        return text::EqualsNoCase(tag, "END-OF-LOG") ? Tag::EndOfLog : Tag::Other;
    default:
        return Tag::Other;
    }
}

// The Cabrillo modes and the ADIF modes they stand for. DG names no one
// digital mode; RTTY is the digital mode the logger's mode codes know.
struct ModeToken {
    std::string_view token;
    std::string_view mode;
};
constexpr ModeToken kModes[] = {{"CW", "CW"}, {"PH", "SSB"}, {"FM", "FM"}, {"RY", "RTTY"}, {"DG", "RTTY"}};

// The names of a record's own fields, in the order of CabrilloParser::FieldName.
constexpr std::string_view kNames[] = {"CALL", "QSO_DATE", "TIME_ON", "BAND", "FREQ", "MODE", "STATION_CALLSIGN",
                                       "CONTEST_ID", "STX_STRING", "SRX_STRING", "APP_ARDENIX_TRANSMITTER"};

constexpr double kLowestKhz = 1800; // HF frequencies are kHz from 160 m up

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsDigits(std::string_view s)
{
    for (char c : s)
        if (!IsDigit(c))
            return false;
    return !s.empty();
}

// The number the two digits at s[at] write.
int TwoDigits(std::string_view s, size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); }

// The first n bytes at p, n at most 8, as one number, p[0] in its lowest byte.
uint64_t LowFirst(const char *p, size_t n)
{
    uint64_t w = 0;
    std::memcpy(&w, p, n);
    if constexpr (std::endian::native == std::endian::big)
        w = __builtin_bswap64(w); // the bytes past n are zero and end up high
    return w;
}

// Whether each byte of w under a 0xFF byte of mask is a digit: its high four
// bits are 3, and stay 3 when 6 is added. A byte that would carry into the
// next has failed the first test already.
bool DigitsUnder(uint64_t w, uint64_t mask)
{
    const uint64_t high = 0xF0F0F0F0F0F0F0F0 & mask, three = 0x3030303030303030 & mask;
    return (w & high) == three && ((w + 0x0606060606060606) & high) == three;
}

// yyyy-mm-dd, a day that exists, and its number yyyymmdd. The first eight
// bytes are looked at as one word: the hyphens are bytes 4 and 7.
bool ReadDate(std::string_view d, uint64_t &yyyymmdd)
{
    if (d.size() != 10)
        return false;
    const uint64_t w = LowFirst(d.data(), 8);
    if ((w & 0xFF0000FF00000000) != 0x2D00002D00000000 || !DigitsUnder(w, 0x00FFFF00FFFFFFFF) || !IsDigit(d[8])
        || !IsDigit(d[9]))
        return false;
    const int year = TwoDigits(d, 0) * 100 + TwoDigits(d, 2), month = TwoDigits(d, 5), day = TwoDigits(d, 8);
    if (year < 1 || month < 1 || month > 12)
        return false;
    yyyymmdd = uint64_t(year) * 10000 + uint64_t(month) * 100 + uint64_t(day);
    return day >= 1 && day <= text::DaysInMonth(year, month);
}

// hhmm, UTC, and its number.
bool ReadTime(std::string_view t, uint64_t &hhmm)
{
    if (t.size() != 4 || !DigitsUnder(LowFirst(t.data(), 4), 0xFFFFFFFF))
        return false;
    const int hour = TwoDigits(t, 0), minute = TwoDigits(t, 2);
    hhmm = uint64_t(hour) * 100 + uint64_t(minute);
    return hour < 24 && minute < 60;
}

// No band token of four bytes or more ends in a digit, as most kHz do.
constexpr bool LongBandTokensEndInLetters()
{
    for (const BandToken &b : kBandTokens)
        if (b.token.size() >= 4 && IsDigit(b.token.back()))
            return false;
    return true;
}
static_assert(LongBandTokensEndInLetters());

const BandToken *FindBand(std::string_view token)
{
    if (token.size() >= 4 && IsDigit(token.back()))
        return nullptr;
    for (const BandToken &b : kBandTokens)
        if (text::EqualsNoCase(token, b.token))
            return &b;
    return nullptr;
}

// A frequency of 1800 kHz or more written as plain digits[.digits], with
// at most 15 significant digits and 12 decimals: the usual case. Its digits
// moved three places give the MHz text that formatting it as a double gives.
bool ReadPlainKhz(std::string_view token, PlainKhz &khz)
{
    size_t point = token.size();
    for (size_t i = 0; i < token.size(); ++i) {
        if (IsDigit(token[i]))
            continue;
        if (token[i] != '.' || point != token.size())
            return false;
        point = i;
    }
    if (point == 0)
        return false;
    std::string_view whole(token.data(), point);
    const std::string_view fraction = point < token.size() ? token.substr(point + 1) : std::string_view();
    while (!whole.empty() && whole.front() == '0')
        whole.remove_prefix(1);
    if (whole.size() < 4 || (whole.size() == 4 && TwoDigits(whole, 0) < 18) || fraction.size() > 12
        || whole.size() + fraction.size() > 15)
        return false;
    khz = {whole, fraction};
    return true;
}

// The MHz text of a plain kHz frequency: 14025.5 is 14.0255. Its size, at
// most kPlainMhzSize, and the text written to out.
size_t PlainMegahertzSize(const PlainKhz &khz) { return khz.whole.size() + 1 + khz.fraction.size(); }

void WritePlainMegahertz(const PlainKhz &khz, char *out)
{
    const size_t mhzDigits = khz.whole.size() - 3;
    std::memcpy(out, khz.whole.data(), mhzDigits);
    out[mhzDigits] = '.';
    std::memcpy(out + mhzDigits + 1, khz.whole.data() + mhzDigits, 3);
    if (!khz.fraction.empty())
        std::memcpy(out + mhzDigits + 4, khz.fraction.data(), khz.fraction.size());
}

std::optional<double> Kilohertz(std::string_view token)
{
    const auto khz = text::ParseNumber(token);
    if (khz && *khz >= kLowestKhz)
        return khz;
    return std::nullopt;
}

// A report: 2 or 3 digits, readability 1 to 5, then strength and tone 1 to 9.
bool LooksLikeReport(std::string_view s)
{
    if ((s.size() != 2 && s.size() != 3) || !IsDigits(s) || s[0] < '1' || s[0] > '5')
        return false;
    return std::none_of(s.begin() + 1, s.end(), [](char c) { return c == '0'; });
}

// A call sign: letters, digits and strokes, with a letter, then a digit,
// then a letter somewhere in it (4X1MM, CT8/PA4O). Names, sections,
// reports, zones and serials never look so.
bool LooksLikeCall(std::string_view s)
{
    int stage = 0; // 0: no letter yet, 1: a letter, 2: then a digit, 3: then a letter
    for (char c : s) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '/')
            return false;
        if ((stage == 0 && letter) || (stage == 1 && digit) || (stage == 2 && letter))
            ++stage;
    }
    return stage == 3;
}

bool Takes(const ExchangeSlot &slot, std::string_view token)
{
    switch (slot.takes) {
    case ExchangeSlot::Takes::Number:
        return IsDigits(token);
    case ExchangeSlot::Takes::Report:
        return LooksLikeReport(token);
    default:
        return true;
    }
}

// The tokens [from, to), at least one, stand one space apart in their line:
// the line's text from the first to the last is already them joined.
bool OneSpaceApart(const std::vector<std::string_view> &tokens, size_t from, size_t to)
{
    if (from >= to)
        return false;
    for (size_t i = from + 1; i < to; ++i) {
        const std::string_view before = tokens[i - 1];
        if (tokens[i].data() != before.data() + before.size() + 1 || before.data()[before.size()] != ' ')
            return false;
    }
    return true;
}

// A Cabrillo mode (two letters) against a token of any letter case.
bool IsMode(std::string_view token, const ModeToken &mode)
{
    return token.size() == 2 && text::AsciiUpper(static_cast<unsigned char>(token[0])) == mode.token[0]
           && text::AsciiUpper(static_cast<unsigned char>(token[1])) == mode.token[1];
}

// Where the exchange tokens divide: [0] my call, [1, call) what I sent,
// [call] their call, (call, end) what I received, [end] the transmitter
// when there is one.
struct Halves {
    size_t call;
    size_t end;
};

// A contest not in the table: two halves of one size, and the transmitter
// last when the count is odd.
Halves EqualHalves(size_t count)
{
    const size_t end = count % 2 ? count - 1 : count;
    return {end / 2, end};
}

// A contest in the table, a line with a token more than a complete one or
// more: the count alone divides it, the last token being the transmitter.
bool CountGivesHalves(size_t count, const ContestLayout &layout)
{
    return count > 2 + layout.sent.size() + layout.received.size();
}

Halves CountedHalves(size_t count, const ContestLayout &layout)
{
    if (count == 3 + layout.sent.size() + layout.received.size())
        return {1 + layout.sent.size(), count - 1};
    return EqualHalves(count);
}

// Whether a slot of the layout types its token only when the token looks so.
bool SlotsLookAtTokens(const ContestLayout &layout)
{
    const auto looks = [](const ExchangeSlot &slot) {
        return !slot.name.empty()
               && (slot.takes == ExchangeSlot::Takes::Number || slot.takes == ExchangeSlot::Takes::Report);
    };
    return std::any_of(layout.sent.begin(), layout.sent.end(), looks)
           || std::any_of(layout.received.begin(), layout.received.end(), looks);
}

// One bit per slot of a half, from bit 0, set where the slot has a name.
uint32_t NamedSlots(const std::vector<ExchangeSlot> &half)
{
    uint32_t bits = 0;
    for (size_t i = 0; i < half.size() && i < 16; ++i)
        if (!half[i].name.empty())
            bits |= uint32_t(1) << i;
    return bits;
}

// The first n bits, n being a count of a half's tokens.
uint32_t FirstBits(size_t n) { return n >= 16 ? 0xFFFF : (uint32_t(1) << n) - 1; }

// A contest in the table: the halves as its layout has them. A short line
// has blank fields (a DX station sends no QTH in NAQP); their call is then
// found as the token that looks like a call, and the fields after it fill
// from the left.
Halves LayoutHalves(const std::vector<std::string_view> &x, const ContestLayout &layout)
{
    const size_t n = x.size();
    if (CountGivesHalves(n, layout))
        return CountedHalves(n, layout);
    const size_t usual = 1 + layout.sent.size();
    size_t call = std::min(usual, n - 1);
    if (!LooksLikeCall(x[call])) {
        for (size_t i = call - 1; i >= 1; --i) {
            if (LooksLikeCall(x[i])) {
                call = i;
                break;
            }
        }
    }
    const size_t received = n - call - 1;
    if (received > layout.received.size())
        return {call, n - 1};
    // A blank field in the received half leaves a transmitter's line as long
    // as a complete one: a lone 0 or 1 where a word belongs is the transmitter.
    const bool lone = x[n - 1] == "0" || x[n - 1] == "1";
    if (received == layout.received.size() && lone && layout.received.back().takes == ExchangeSlot::Takes::Word)
        return {call, n - 1};
    return {call, n};
}

// One bit per byte of p[0, n), n at most 32, set where the byte is blank
// (text::IsSpace); the bits from n on are set too.
uint32_t BlankBits(const char *p, size_t n)
{
    char block[32];
    if (n < 32) { // never read past the line
        std::memset(block, ' ', sizeof block);
        std::memcpy(block, p, n);
        p = block;
    }
#if defined(__SSE2__)
    const auto blankBits16 = [](const char *q) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(q));
        const __m128i fromTab = _mm_sub_epi8(v, _mm_set1_epi8('\t'));
        const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(fromTab, _mm_set1_epi8('\r' - '\t')), fromTab); // \t to \r
        const __m128i blank = _mm_or_si128(control, _mm_cmpeq_epi8(v, _mm_set1_epi8(' ')));
        return static_cast<uint32_t>(_mm_movemask_epi8(blank));
    };
    return blankBits16(p) | (blankBits16(p + 16) << 16);
#else
    uint32_t bits = 0;
    for (unsigned i = 0; i < 32; ++i)
        if (text::IsSpace(static_cast<unsigned char>(p[i])))
            bits |= uint32_t(1) << i;
    return bits;
#endif
}

// The fields of a QSO: line's value, separated by one or more blanks, up
// to `most` of them: the first four in `leading`, the rest in `exchange`.
// Returns how many there are. The bytes are looked at 32 at a time: a field
// starts or ends wherever a byte is blank and the one before is not, or the
// other way round, so those places come in pairs, a start and its end.
size_t SplitFields(std::string_view value, std::string_view (&leading)[4], std::vector<std::string_view> &exchange,
                   size_t most)
{
    size_t fields = 0;
    const auto add = [&](size_t from, size_t to) {
        const std::string_view field(value.data() + from, to - from);
        if (fields < 4)
            leading[fields] = field;
        else
            exchange.push_back(field);
        ++fields;
    };
    size_t start = 0;
    bool inField = false; // a field from `start` runs on past the block before
    for (size_t base = 0; base < value.size() && fields < most; base += 32) {
        const uint32_t blanks = BlankBits(value.data() + base, std::min<size_t>(32, value.size() - base));
        uint32_t changes = blanks ^ ((blanks << 1) | (inField ? 0u : 1u));
        if (inField && changes) {
            add(start, base + static_cast<size_t>(std::countr_zero(changes)));
            changes &= changes - 1;
            inField = false;
        }
        while (changes && fields < most) {
            const size_t from = base + static_cast<size_t>(std::countr_zero(changes));
            changes &= changes - 1;
            if (!changes) {
                start = from;
                inField = true;
                break;
            }
            add(from, base + static_cast<size_t>(std::countr_zero(changes)));
            changes &= changes - 1;
        }
    }
    if (inField && fields < most)
        add(start, value.size());
    return fields;
}

// How many fields SplitFields would find, and the first of them: a field
// starts where a byte is not blank and the one before is, and ends where a
// byte is blank and the one before is not.
size_t CountFields(std::string_view value, std::string_view &first)
{
    size_t fields = 0, firstFrom = 0;
    bool firstEnded = false;
    bool inField = false; // the last byte of the block before is part of a field
    first = std::string_view();
    for (size_t base = 0; base < value.size(); base += 32) {
        const uint32_t blanks = BlankBits(value.data() + base, std::min<size_t>(32, value.size() - base));
        const uint32_t blanksBefore = (blanks << 1) | (inField ? 0u : 1u);
        const uint32_t starts = ~blanks & blanksBefore, ends = blanks & ~blanksBefore;
        if (fields == 0 && starts)
            firstFrom = base + static_cast<size_t>(std::countr_zero(starts));
        if (!firstEnded && ends) { // no field ends before the first starts
            first = value.substr(firstFrom, base + static_cast<size_t>(std::countr_zero(ends)) - firstFrom);
            firstEnded = true;
        }
        for (uint32_t rest = starts; rest; rest &= rest - 1)
            ++fields; // a few a block: cheaper than a library popcount
        inField = (blanks >> 31) == 0;
    }
    if (fields > 0 && !firstEnded)
        first = value.substr(firstFrom);
    return fields;
}

} // namespace

// ---- LineReader ----

LineReader::LineReader(std::unique_ptr<ByteSource> source, size_t chunk, size_t maxLine)
    : m_Source(std::move(source)), m_Chunk(std::clamp<size_t>(chunk, 16, kMostHeld)),
      m_MaxLine(std::clamp(maxLine, m_Chunk, kMostHeld))
{
}

bool LineReader::Fill()
{
    if (m_SourceDone)
        return false;
    if (m_Begin > 0) {
        std::memmove(m_Buf.data(), m_Buf.data() + m_Begin, m_End - m_Begin);
        m_Offset += m_Begin;
        m_End -= m_Begin;
        m_Begin = 0;
    }
    if (m_Buf.empty())
        m_Buf.resize(std::min(kFirstBuffer, m_Chunk));
    else if (m_End == m_Buf.size())
        m_Buf.resize(std::min(std::max(m_Buf.size() * 2, m_Chunk), m_MaxLine + 1));
    const size_t n = m_Source->Read(m_Buf.data() + m_End, m_Buf.size() - m_End);
    m_SourceDone = n == 0;
    m_End += n;
    return n > 0;
}

void LineReader::SkipRestOfLine()
{
    for (;;) {
        const void *lf = std::memchr(m_Buf.data() + m_Begin, '\n', m_End - m_Begin);
        if (lf) {
            m_Begin = static_cast<size_t>(static_cast<const char *>(lf) - m_Buf.data()) + 1;
            return;
        }
        m_Begin = m_End;
        if (!Fill())
            return;
    }
}

// The line's end is not in the buffer: read on until it is, or until the
// line is too long to hold.
bool LineReader::NextFilling(std::string_view &line, uint64_t &offset, bool &tooLong)
{
    const void *lf = nullptr;
    for (;;) {
        if (m_End - m_Begin > m_MaxLine) {
            offset = m_Offset + m_Begin;
            SkipRestOfLine();
            tooLong = true;
            line = std::string_view();
            return true;
        }
        const size_t searched = m_End - m_Begin; // Fill() moves the line to the front of the buffer
        if (!Fill())
            break;
        lf = std::memchr(m_Buf.data() + searched, '\n', m_End - searched);
        if (lf)
            break;
    }
    if (!lf && m_Begin == m_End)
        return false;
    Take(lf, line, offset); // without lf, the last line, without a line end
    return true;
}

// ---- CabrilloParser ----

CabrilloParser::CabrilloParser(std::unique_ptr<ByteSource> source, size_t chunk, size_t maxLine)
    : m_Lines(std::move(source), chunk, maxLine), m_Chunk(chunk), m_MaxLine(maxLine),
      m_Layout(UnknownContestLayout())
{
    NoteLayout();
}

// What the shape of a record's names needs to know of the layout.
void CabrilloParser::NoteLayout()
{
    m_SlotsLookAtTokens = SlotsLookAtTokens(m_Layout);
    m_SentNamed = NamedSlots(m_Layout.sent);
    m_ReceivedNamed = NamedSlots(m_Layout.received);
}

bool CabrilloParser::Next()
{
    ClearFields();
    for (;;) {
        if (m_Done || !NextQso(m_Lines, m_Qso, true)) {
            m_Done = true;
            return false;
        }
        if (!m_NamesKept)
            KeepNames();
        m_ArenaUsed = m_NamesEnd;
        const NamesShape shape = ShapeOf(m_Qso);
        if (m_NamesOnly) {
            // A record named as the one before shows no new name.
            if (m_NamedBefore && shape == m_LastShape)
                continue;
            m_LastShape = shape;
            m_NamedBefore = true;
        }
        BuildRecord(m_Qso, shape, m_NamesOnly ? 0 : SecondInRun(m_Qso.minute));
        break;
    }
    m_Base = m_Arena.data();
    return true;
}

// The next record-worthy QSO: line. The reader of the records (diagnose)
// also keeps the contest, counts X-QSO: lines and reports bad lines; the
// scout only counts minutes.
bool CabrilloParser::NextQso(LineReader &lines, QsoLine &qso, bool diagnose)
{
    std::string_view line;
    uint64_t offset = 0;
    bool tooLong = false;
    while (lines.Next(line, offset, tooLong)) {
        if (tooLong) {
            if (diagnose)
                Diagnose(offset, [this] { return QStringLiteral("a line longer than %1 bytes; skipped").arg(m_Lines.MaxLine()); });
            continue;
        }
        if (offset == 0 && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        Tag tag = Tag::Qso;
        std::string_view value;
        if (line.starts_with("QSO:")) { // nearly every line: no search, no trimming
            value = std::string_view(line.data() + 4, line.size() - 4);
        } else {
            const size_t colon = line.find(':');
            if (colon == std::string_view::npos)
                continue;
            tag = LineTag(text::Trimmed(line.substr(0, colon)));
            value = line.substr(colon + 1);
        }
        if (tag == Tag::EndOfLog)
            return false;
        if (diagnose && tag == Tag::XQso) {
            ++m_XQsoCount;
            continue;
        }
        if (diagnose && tag == Tag::Contest) {
            m_Contest.assign(text::Trimmed(value));
            ++m_ContestLines;
            m_KnownLayout = FindContestLayout(m_Contest, m_Layout);
            if (!m_KnownLayout)
                m_Layout = UnknownContestLayout();
            NoteLayout();
            m_NamesKept = false;
            continue;
        }
        if (tag != Tag::Qso)
            continue;
        if (m_NamesOnly && NamedAsBefore(value))
            continue;

        // The fields, separated by one or more blanks. The scout only needs
        // to know that the line is sound: the four leading fields and two calls.
        qso.text = value;
        qso.exchange.clear();
        std::string_view leading[4];
        const size_t fields = SplitFields(value, leading, qso.exchange, diagnose ? SIZE_MAX : 6);
        qso.freq = leading[0];
        qso.mode = leading[1];
        qso.date = leading[2];
        qso.time = leading[3];
        const Problem problem = Check(qso);
        if (problem == Problem::None)
            return true;
        if (diagnose)
            Diagnose(offset, [&] { return Explain(problem, qso, fields); });
    }
    return false;
}

CabrilloParser::Problem CabrilloParser::Check(QsoLine &qso)
{
    if (qso.exchange.size() < 2) // my call and theirs at the least
        return Problem::TooFewFields;
    // Most lines have the date of the line before: that one was checked.
    uint64_t day = qso.dayBefore, hhmm = 0;
    if (!qso.dayBefore || qso.date.size() != 10 || std::memcmp(qso.date.data(), qso.dateBefore, 10) != 0) {
        if (!ReadDate(qso.date, day))
            return Problem::BadDate;
        std::memcpy(qso.dateBefore, qso.date.data(), 10);
        qso.dayBefore = day;
    }
    if (!ReadTime(qso.time, hhmm))
        return Problem::BadTime;
    // A frequency in kHz is never a band token: those are all below 1800 or end in G.
    qso.plainKhz = ReadPlainKhz(qso.freq, qso.plain);
    const auto khz = qso.plainKhz ? std::optional<double>() : Kilohertz(qso.freq);
    qso.band = qso.plainKhz || khz ? nullptr : FindBand(qso.freq);
    if (!qso.plainKhz && !khz && !qso.band)
        return Problem::BadFrequency;
    qso.khz = khz.value_or(0);
    qso.minute = day * 10000 + hhmm;
    return Problem::None;
}

QString CabrilloParser::Explain(Problem problem, const QsoLine &qso, size_t fields)
{
    switch (problem) {
    case Problem::TooFewFields:
        return QStringLiteral("a QSO line with %1 fields, fewer than the 6 it needs; skipped").arg(fields);
    case Problem::BadDate:
        return QStringLiteral("a QSO line with the date \"%1\", not yyyy-mm-dd; skipped").arg(text::Decode(qso.date));
    case Problem::BadTime:
        return QStringLiteral("a QSO line with the time \"%1\", not hhmm; skipped").arg(text::Decode(qso.time));
    default:
        return QStringLiteral("a QSO line with the frequency \"%1\", neither kHz nor a band; skipped")
            .arg(text::Decode(qso.freq));
    }
}

// The second of this record within its minute: k * 60 / n for the k-th of
// the n consecutive records made in that minute.
int CabrilloParser::SecondInRun(uint64_t minute)
{
    if (m_RunIndex + 1 < m_RunLength && minute == m_RunMinute) {
        ++m_RunIndex;
    } else {
        m_RunMinute = minute;
        m_RunIndex = 0;
        m_RunLength = CountRun();
    }
    return static_cast<int>(uint64_t(m_RunIndex) * 60 / uint64_t(m_RunLength));
}

// The scout reads the run that the record just read begins: the records
// from there on made in the same minute.
int CabrilloParser::CountRun()
{
    if (!m_Scout)
        m_Scout = std::make_unique<LineReader>(m_Lines.Source().Clone(), m_Chunk, m_MaxLine);
    if (!m_ScoutHolds && !NextQso(*m_Scout, m_ScoutQso, false))
        return 1;
    if (m_ScoutQso.minute != m_RunMinute) { // the file changed under us: no spreading
        m_ScoutHolds = true;
        return 1;
    }
    int count = 1;
    m_ScoutHolds = false;
    while (NextQso(*m_Scout, m_ScoutQso, false)) {
        if (m_ScoutQso.minute != m_RunMinute) {
            m_ScoutHolds = true;
            break;
        }
        if (count < INT32_MAX)
            ++count;
    }
    return count;
}

// Copies bytes to the end of the current record's arena, which only ever
// grows: after the first records, no copy allocates.
inline size_t CabrilloParser::Append(std::string_view bytes)
{
    const size_t at = m_ArenaUsed;
    if (!bytes.empty())
        std::memcpy(Extend(bytes.size()), bytes.data(), bytes.size());
    return at;
}

// Room for size bytes at the end of the arena, taken as used.
inline char *CabrilloParser::Extend(size_t size)
{
    const size_t at = m_ArenaUsed;
    if (m_Arena.size() - at < size)
        GrowArena(at + size);
    m_ArenaUsed = at + size;
    return m_Arena.data() + at;
}

void CabrilloParser::GrowArena(size_t size)
{
    m_Arena.resize(std::max(m_Arena.size() * 2, size));
}

// The names of every field a record may have, and the contest, written
// once at the front of the arena: each record's values follow them, so a
// record copies no name. They change only with a CONTEST: line.
void CabrilloParser::KeepNames()
{
    static_assert(std::size(kNames) == kFieldNames);
    m_ArenaUsed = 0;
    const auto keep = [this](std::string_view text) { return ArenaText{Append(text), text.size()}; };
    for (size_t i = 0; i < std::size(kNames); ++i)
        m_NameAt[i] = keep(kNames[i]);
    m_ContestAt = keep(m_Contest);
    m_SentNameAt.clear();
    for (const ExchangeSlot &slot : m_Layout.sent)
        m_SentNameAt.push_back(keep(slot.name));
    m_ReceivedNameAt.clear();
    for (const ExchangeSlot &slot : m_Layout.received)
        m_ReceivedNameAt.push_back(keep(slot.name));
    m_NamesEnd = m_ArenaUsed;
    m_NamesKept = true;
}

// The names are this parser's own, all ASCII: none needs noting.
// A reading for the names only keeps no values.
inline void CabrilloParser::Add(ArenaText name, std::string_view value)
{
    if (m_NamesOnly)
        value = std::string_view();
    const size_t valueOff = Append(value);
    m_Fields.push_back(FieldRef::At(name.at, name.size, valueOff, value.size()));
}

// A value of size bytes, for the caller to write where this returns; a
// reading for the names only keeps it empty.
inline char *CabrilloParser::AddRoom(ArenaText name, size_t size)
{
    const size_t valueOff = m_ArenaUsed;
    char *room = Extend(size);
    m_Fields.push_back(FieldRef::At(name.at, name.size, valueOff, m_NamesOnly ? 0 : size));
    return room;
}

// A value that is part of the current line: found in the line's copy.
inline void CabrilloParser::AddPart(ArenaText name, std::string_view part)
{
    if (m_NamesOnly)
        part = std::string_view();
    const size_t valueOff = part.empty() ? m_ArenaUsed : m_LineAt + size_t(part.data() - m_LineText.data());
    m_Fields.push_back(FieldRef::At(name.at, name.size, valueOff, part.size()));
}

// The tokens [from, to) joined by one space.
void CabrilloParser::AddTokens(ArenaText name, const std::vector<std::string_view> &tokens, size_t from, size_t to)
{
    if (m_NamesOnly)
        to = from;
    if (OneSpaceApart(tokens, from, to)) {
        AddPart(name, std::string_view(tokens[from].data(),
                                       size_t(tokens[to - 1].data() + tokens[to - 1].size() - tokens[from].data())));
        return;
    }
    size_t size = 0;
    for (size_t i = from; i < to; ++i)
        size += (i > from ? 1 : 0) + tokens[i].size();
    const size_t valueOff = m_ArenaUsed;
    char *out = Extend(size);
    for (size_t i = from; i < to; ++i) {
        if (i > from)
            *out++ = ' ';
        std::memcpy(out, tokens[i].data(), tokens[i].size());
        out += tokens[i].size();
    }
    m_Fields.push_back(FieldRef::At(name.at, name.size, valueOff, size));
}

// Where the exchange divides and which of its tokens get a typed field: no
// layout has sixteen slots in a half, so each slot has its bit.
CabrilloParser::NamesShape CabrilloParser::ShapeOf(const QsoLine &qso) const
{
    const Halves halves = m_KnownLayout ? LayoutHalves(qso.exchange, m_Layout) : EqualHalves(qso.exchange.size());
    NamesShape shape;
    shape.contestLines = m_ContestLines;
    shape.band = qso.band != nullptr;
    shape.call = halves.call;
    shape.end = halves.end;
    shape.tokens = qso.exchange.size();
    if (!m_SlotsLookAtTokens) { // every named slot the halves reach types its token
        const size_t sent = halves.call - 1, received = halves.end > halves.call ? halves.end - halves.call - 1 : 0;
        shape.typed = (m_SentNamed & FirstBits(sent)) | (m_ReceivedNamed & FirstBits(received)) << 16;
        return shape;
    }
    const auto markTyped = [&](const std::vector<ExchangeSlot> &layoutSlots, size_t from, size_t to, int firstBit) {
        for (size_t i = from; i < to && i - from < layoutSlots.size(); ++i) {
            const ExchangeSlot &slot = layoutSlots[i - from];
            if (!slot.name.empty() && Takes(slot, qso.exchange[i]))
                shape.typed |= 1u << (firstBit + int(i - from));
        }
    };
    markTyped(m_Layout.sent, 1, halves.call, 0);
    markTyped(m_Layout.received, halves.call + 1, halves.end, 16);
    return shape;
}

// Whether a QSO: line's record, were the line sound, would be named as the
// record read before, told from the count of its fields where that is
// enough: a line so named is passed over whether it is sound or not. When no
// slot looks at its token and the count alone divides the exchange, the
// count, the layout and whether the frequency is a band decide the shape:
// in a sound line it is a band exactly when it is a band token.
bool CabrilloParser::NamedAsBefore(std::string_view value) const
{
    if (!m_NamedBefore || m_SlotsLookAtTokens || m_LastShape.band || m_LastShape.contestLines != m_ContestLines)
        return false;
    std::string_view freq;
    const size_t fields = CountFields(value, freq);
    if (fields < 6 || fields - 4 != m_LastShape.tokens)
        return false;
    if (m_KnownLayout && !CountGivesHalves(fields - 4, m_Layout))
        return false;
    return FindBand(freq) == nullptr;
}

void CabrilloParser::BuildRecord(const QsoLine &qso, const NamesShape &shape, int second)
{
    const Halves halves{shape.call, shape.end};
    // The line is copied once; its tokens are found in the copy.
    m_LineText = qso.text;
    m_LineAt = m_NamesOnly ? 0 : Append(qso.text);
    AddPart(m_NameAt[kCall], qso.exchange[halves.call]);

    char *date = AddRoom(m_NameAt[kQsoDate], 8);
    std::memcpy(date, qso.date.data(), 4);
    std::memcpy(date + 4, qso.date.data() + 5, 2);
    std::memcpy(date + 6, qso.date.data() + 8, 2);
    char *time = AddRoom(m_NameAt[kTimeOn], 6);
    std::memcpy(time, qso.time.data(), 4);
    time[4] = char('0' + second / 10);
    time[5] = char('0' + second % 10);

    if (qso.band) {
        Add(m_NameAt[kBand], qso.band->band);
    } else if (qso.plainKhz) {
        WritePlainMegahertz(qso.plain, AddRoom(m_NameAt[kFreq], PlainMegahertzSize(qso.plain)));
    } else {
        // kHz to MHz, keeping the digits written.
        const size_t point = qso.freq.find('.');
        const int decimals = point == std::string_view::npos ? 0 : int(qso.freq.size() - point - 1);
        const QByteArray mhz = QByteArray::number(qso.khz / 1000.0, 'f', std::min(decimals, 12) + 3);
        Add(m_NameAt[kFreq], std::string_view(mhz.constData(), size_t(mhz.size())));
    }

    std::string_view mode = qso.mode;
    for (const ModeToken &m : kModes) {
        if (IsMode(qso.mode, m)) {
            mode = m.mode;
            break;
        }
    }
    if (mode == qso.mode)
        AddPart(m_NameAt[kMode], qso.mode); // as written: no copy
    else
        Add(m_NameAt[kMode], mode);

    AddPart(m_NameAt[kStationCallsign], qso.exchange[0]);
    if (!m_Contest.empty())
        m_Fields.push_back(FieldRef::At(m_NameAt[kContestId].at, m_NameAt[kContestId].size, m_ContestAt.at,
                                        m_NamesOnly ? 0 : m_ContestAt.size));
    AddTokens(m_NameAt[kStxString], qso.exchange, 1, halves.call);
    AddTokens(m_NameAt[kSrxString], qso.exchange, halves.call + 1, halves.end);

    const auto addTyped = [&](const std::vector<ArenaText> &slotNames, size_t from, size_t to, int firstBit) {
        for (size_t i = from; i < to && i - from < slotNames.size(); ++i)
            if (shape.typed & (1u << (firstBit + int(i - from))))
                AddPart(slotNames[i - from], qso.exchange[i]);
    };
    addTyped(m_SentNameAt, 1, halves.call, 0);
    addTyped(m_ReceivedNameAt, halves.call + 1, halves.end, 16);
    if (halves.end < qso.exchange.size())
        AddPart(m_NameAt[kTransmitter], qso.exchange[halves.end]);
}

} // namespace adif

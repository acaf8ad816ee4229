// SPDX-License-Identifier: GPL-3.0-or-later
#include "CabrilloParser.h"

#include "Text.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace adif {

namespace {

// A record holds a copy of its line's tokens and repeats them in the joined
// exchanges, so a line of a quarter of the record limit still fits the
// record's 32-bit offsets.
constexpr size_t kMostHeld = kMaxRecordLimit / 4;

// The band tokens above HF and their ADIF bands.
struct BandToken {
    std::string_view token;
    std::string_view band;
};
constexpr BandToken kBandTokens[] = {
    {"50", "6m"},      {"70", "4m"},     {"144", "2m"},    {"222", "1.25m"}, {"432", "70cm"},   {"902", "33cm"},
    {"1.2G", "23cm"},  {"2.3G", "13cm"}, {"3.4G", "9cm"},  {"5.7G", "6cm"},  {"10G", "3cm"},    {"24G", "1.25cm"},
    {"47G", "6mm"},    {"75G", "4mm"},   {"122G", "2.5mm"}, {"134G", "2mm"}, {"241G", "1mm"},
};

// The Cabrillo modes and the ADIF modes they stand for. DG names no one
// digital mode; RTTY is the digital mode the logger's mode codes know.
struct ModeToken {
    std::string_view token;
    std::string_view mode;
};
constexpr ModeToken kModes[] = {{"CW", "CW"}, {"PH", "SSB"}, {"FM", "FM"}, {"RY", "RTTY"}, {"DG", "RTTY"}};

constexpr double kLowestKhz = 1800; // HF frequencies are kHz from 160 m up

bool IsDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The number that a few digits write.
int Number(std::string_view digits)
{
    int v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

// yyyy-mm-dd, a day that exists, and its number yyyymmdd.
bool ReadDate(std::string_view d, uint64_t &yyyymmdd)
{
    if (d.size() != 10 || d[4] != '-' || d[7] != '-' || !IsDigits(d.substr(0, 4)) || !IsDigits(d.substr(5, 2))
        || !IsDigits(d.substr(8, 2)))
        return false;
    const int year = Number(d.substr(0, 4)), month = Number(d.substr(5, 2)), day = Number(d.substr(8, 2));
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > text::DaysInMonth(year, month))
        return false;
    yyyymmdd = uint64_t(year) * 10000 + uint64_t(month) * 100 + uint64_t(day);
    return true;
}

// hhmm, UTC, and its number.
bool ReadTime(std::string_view t, uint64_t &hhmm)
{
    if (t.size() != 4 || !IsDigits(t) || Number(t.substr(0, 2)) >= 24 || Number(t.substr(2, 2)) >= 60)
        return false;
    hhmm = uint64_t(Number(t));
    return true;
}

// The ADIF band of a band token; empty for any other token.
std::string_view BandOfToken(std::string_view token)
{
    for (const BandToken &b : kBandTokens)
        if (text::EqualsNoCase(token, b.token))
            return b.band;
    return {};
}

std::optional<double> Kilohertz(std::string_view token)
{
    const auto khz = text::ParseNumber(token);
    if (khz && *khz >= kLowestKhz)
        return khz;
    return std::nullopt;
}

// The MHz text of a kHz frequency, keeping the digits written: 14025 is
// 14.025, 7040.5 is 7.0405.
QByteArray Megahertz(std::string_view written, double khz)
{
    const size_t point = written.find('.');
    const int decimals = point == std::string_view::npos ? 0 : int(written.size() - point - 1);
    return QByteArray::number(khz / 1000.0, 'f', std::min(decimals, 12) + 3);
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

// A contest in the table: the halves as its layout has them. A line with
// one token more than a complete one has the transmitter last; with more
// still, it splits as a contest not in the table. A short line has blank
// fields (a DX station sends no QTH in NAQP); their call is then found as
// the token that looks like a call, and the fields after it fill from the
// left.
Halves LayoutHalves(const std::vector<std::string_view> &x, const ContestLayout &layout)
{
    const size_t n = x.size();
    const size_t full = 2 + layout.sent.size() + layout.received.size();
    const size_t usual = 1 + layout.sent.size();
    if (n == full + 1)
        return {usual, full};
    if (n > full + 1)
        return EqualHalves(n);
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

// The fields of a QSO: line's value, separated by runs of blanks: the first
// four in `leading`, the rest in `exchange`. Returns how many there are.
size_t SplitFields(std::string_view value, std::string_view (&leading)[4], std::vector<std::string_view> &exchange)
{
    exchange.clear();
    size_t fields = 0;
    size_t p = 0;
    for (;;) {
        while (p < value.size() && text::IsSpace(static_cast<unsigned char>(value[p])))
            ++p;
        const size_t start = p;
        while (p < value.size() && !text::IsSpace(static_cast<unsigned char>(value[p])))
            ++p;
        if (p == start)
            return fields;
        const std::string_view field = value.substr(start, p - start);
        if (fields < 4)
            leading[fields] = field;
        else
            exchange.push_back(field);
        ++fields;
    }
}

} // namespace

// ---- LineReader ----

LineReader::LineReader(std::unique_ptr<ByteSource> source, size_t chunk, size_t maxLine)
    : m_MaxLine(std::clamp(maxLine, std::clamp<size_t>(chunk, 16, kMostHeld), kMostHeld)),
      m_Bytes(std::move(source), std::clamp<size_t>(chunk, 16, kMostHeld), m_MaxLine + 1)
{
}

// The first LF held from `from` on; null when there is none.
const char *LineReader::FindLineEnd(size_t from) const
{
    if (from >= m_Bytes.Size())
        return nullptr;
    return static_cast<const char *>(std::memchr(m_Bytes.Data() + from, '\n', m_Bytes.Size() - from));
}

void LineReader::SkipRestOfLine()
{
    const char *lf = nullptr;
    while (!(lf = FindLineEnd(0))) {
        m_Bytes.Advance(m_Bytes.Size());
        if (!m_Bytes.Fill())
            return;
    }
    m_Bytes.Advance(static_cast<size_t>(lf - m_Bytes.Data()) + 1);
}

bool LineReader::Next(std::string_view &line, uint64_t &offset, bool &tooLong)
{
    tooLong = false;
    offset = m_Bytes.Offset(); // a refill moves the line in the buffer, not in the file
    size_t searched = 0;
    const char *lf = nullptr;
    while (!(lf = FindLineEnd(searched))) {
        if (m_Bytes.Size() > m_MaxLine) {
            SkipRestOfLine();
            tooLong = true;
            line = std::string_view();
            return true;
        }
        searched = m_Bytes.Size();
        if (!m_Bytes.Fill()) {
            if (m_Bytes.Size() == 0)
                return false;
            break; // the last line, without a line end
        }
    }
    const size_t size = lf ? static_cast<size_t>(lf - m_Bytes.Data()) : m_Bytes.Size();
    line = std::string_view(m_Bytes.Data(), size);
    m_Bytes.Advance(lf ? size + 1 : size);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return true;
}

// ---- CabrilloParser ----

CabrilloParser::CabrilloParser(std::unique_ptr<ByteSource> source, size_t chunk, size_t maxLine)
    : m_Lines(std::move(source), chunk, maxLine), m_Chunk(chunk), m_MaxLine(maxLine),
      m_Layout(UnknownContestLayout())
{
}

bool CabrilloParser::Next()
{
    ClearFields();
    m_Arena.clear();
    if (m_Done || !NextQso(m_Lines, m_Qso, true)) {
        m_Done = true;
        return false;
    }
    BuildRecord(m_Qso, SecondInRun(m_Qso.minute));
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
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view tag = text::Trimmed(line.substr(0, colon));
        const std::string_view value = line.substr(colon + 1);
        if (text::EqualsNoCase(tag, "END-OF-LOG"))
            return false;
        if (diagnose && text::EqualsNoCase(tag, "X-QSO")) {
            ++m_XQsoCount;
            continue;
        }
        if (diagnose && text::EqualsNoCase(tag, "CONTEST")) {
            m_Contest.assign(text::Trimmed(value));
            m_KnownLayout = FindContestLayout(m_Contest, m_Layout);
            if (!m_KnownLayout)
                m_Layout = UnknownContestLayout();
            continue;
        }
        if (!text::EqualsNoCase(tag, "QSO"))
            continue;

        std::string_view leading[4];
        const size_t fields = SplitFields(value, leading, qso.exchange);
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
    uint64_t day = 0, hhmm = 0;
    if (!ReadDate(qso.date, day))
        return Problem::BadDate;
    if (!ReadTime(qso.time, hhmm))
        return Problem::BadTime;
    qso.khz = Kilohertz(qso.freq);
    qso.band = qso.khz ? std::string_view() : BandOfToken(qso.freq);
    if (!qso.khz && qso.band.empty())
        return Problem::BadFrequency;
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

void CabrilloParser::Add(std::string_view name, std::string_view value)
{
    const size_t nameOff = m_Arena.size();
    m_Arena.append(name);
    const size_t valueOff = m_Arena.size();
    m_Arena.append(value);
    m_Fields.push_back(FieldRef::At(nameOff, name.size(), valueOff, value.size()));
}

// The tokens [from, to) joined by one space.
void CabrilloParser::AddTokens(std::string_view name, const std::vector<std::string_view> &tokens, size_t from, size_t to)
{
    std::string joined;
    for (size_t i = from; i < to; ++i) {
        if (i > from)
            joined += ' ';
        joined.append(tokens[i]);
    }
    Add(name, joined);
}

void CabrilloParser::BuildRecord(const QsoLine &qso, int second)
{
    const Halves halves = m_KnownLayout ? LayoutHalves(qso.exchange, m_Layout) : EqualHalves(qso.exchange.size());
    Add("CALL", qso.exchange[halves.call]);

    const std::string_view d = qso.date;
    const std::string date = std::string(d.substr(0, 4)).append(d.substr(5, 2)).append(d.substr(8, 2));
    Add("QSO_DATE", date);
    const char time[6] = {qso.time[0], qso.time[1], qso.time[2], qso.time[3], char('0' + second / 10),
                          char('0' + second % 10)};
    Add("TIME_ON", std::string_view(time, 6));

    if (qso.khz) {
        const QByteArray mhz = Megahertz(qso.freq, *qso.khz);
        Add("FREQ", std::string_view(mhz.constData(), size_t(mhz.size())));
    } else {
        Add("BAND", qso.band);
    }

    std::string_view mode = qso.mode;
    for (const ModeToken &m : kModes)
        if (text::EqualsNoCase(qso.mode, m.token))
            mode = m.mode;
    Add("MODE", mode);

    Add("STATION_CALLSIGN", qso.exchange[0]);
    if (!m_Contest.empty())
        Add("CONTEST_ID", m_Contest);
    AddTokens("STX_STRING", qso.exchange, 1, halves.call);
    AddTokens("SRX_STRING", qso.exchange, halves.call + 1, halves.end);

    const auto addTyped = [&](const std::vector<ExchangeSlot> &layoutSlots, size_t from, size_t to) {
        for (size_t i = from; i < to && i - from < layoutSlots.size(); ++i) {
            const ExchangeSlot &slot = layoutSlots[i - from];
            if (!slot.name.empty() && Takes(slot, qso.exchange[i]))
                Add(slot.name, qso.exchange[i]);
        }
    };
    addTyped(m_Layout.sent, 1, halves.call);
    addTyped(m_Layout.received, halves.call + 1, halves.end);
    if (halves.end < qso.exchange.size())
        Add("APP_ARDENIX_TRANSMITTER", qso.exchange[halves.end]);
}

} // namespace adif

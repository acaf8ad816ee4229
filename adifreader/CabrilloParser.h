// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CabrilloLayouts.h"
#include "RecordParser.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace adif {

// The lines of a file one at a time, from a buffer refilled in chunks; only
// the current line is held. A line longer than maxLine is passed over whole
// and reported as too long, so no line makes memory grow beyond that.
class LineReader {
public:
    LineReader(std::unique_ptr<ByteSource> source, size_t chunk, size_t maxLine);

    // The next line without its line end (LF or CR LF) and the file offset
    // of its first byte; false at the end of the data. A line held only in
    // part comes back empty with tooLong set.
    bool Next(std::string_view &line, uint64_t &offset, bool &tooLong)
    {
        tooLong = false;
        // Nearly always the whole line is in the buffer already.
        const void *lf = m_Begin < m_End ? std::memchr(m_Buf.data() + m_Begin, '\n', m_End - m_Begin) : nullptr;
        if (!lf)
            return NextFilling(line, offset, tooLong);
        Take(lf, line, offset);
        return true;
    }

    const ByteSource &Source() const { return *m_Source; }
    size_t MaxLine() const { return m_MaxLine; }

private:
    bool NextFilling(std::string_view &line, uint64_t &offset, bool &tooLong);
    // The line up to lf, or to the end of the data when lf is null.
    void Take(const void *lf, std::string_view &line, uint64_t &offset)
    {
        const size_t stop = lf ? static_cast<size_t>(static_cast<const char *>(lf) - m_Buf.data()) : m_End;
        offset = m_Offset + m_Begin;
        line = std::string_view(m_Buf.data() + m_Begin, stop - m_Begin);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_Begin = lf ? stop + 1 : m_End;
    }
    bool Fill();
    void SkipRestOfLine();

    std::unique_ptr<ByteSource> m_Source;
    std::vector<char> m_Buf;
    size_t m_Chunk;
    size_t m_MaxLine;
    size_t m_Begin = 0;    // where the next line starts in m_Buf
    size_t m_End = 0;      // past the last byte read
    uint64_t m_Offset = 0; // file offset of m_Buf[0]
    bool m_SourceDone = false;
};

struct BandToken;

// A kHz frequency's digits before the point (no leading zeros) and after it.
struct PlainKhz {
    std::string_view whole, fraction;
};
constexpr size_t kPlainMhzSize = 16; // 15 digits and the point

// One QSO: line taken apart: the four leading fields and the exchange
// tokens (my call, sent exchange, their call, received exchange, perhaps the
// transmitter), the minute it was made as one number (yyyymmddhhmm), and
// what its frequency field is.
struct QsoLine {
    std::string_view text; // the line after QSO:, of which all the others are parts
    std::string_view freq, mode, date, time;
    std::vector<std::string_view> exchange;
    uint64_t minute = 0;
    const BandToken *band = nullptr; // the band token freq is, else freq is kHz
    bool plainKhz = false;           // freq is plain digits, moved to MHz as text
    PlainKhz plain;
    double khz = 0;                  // freq in kHz otherwise
    char dateBefore[10] = {};        // the last sound date read, and its yyyymmdd (0 before the first)
    uint64_t dayBefore = 0;
};

// Reader of Cabrillo contest logs (3.0, and 2.0 as written in practice):
// one record per QSO: line, in file order, with fields under their ADIF
// names. X-QSO: lines are counted, not delivered; header tags and QTC: lines
// are no records. A QSO: line with too few fields, or a bad date, time or
// frequency, is passed over with a diagnostic. Reading ends at END-OF-LOG:
// or at the end of the file.
//
// Cabrillo gives whole minutes; a run of n consecutive records in one
// minute is spread over it, the k-th (from 0) at second k * 60 / n. A second
// reader over the same bytes runs ahead to count each run, so memory stays
// flat however long a run is, and each line is read twice at most.
class CabrilloParser final : public RecordParser {
public:
    static constexpr size_t kChunk = 256 * 1024;

    CabrilloParser(std::unique_ptr<ByteSource> source, size_t chunk, size_t maxLine);

    bool Next() override;
    // No runs counted, no values kept, and a record named as the one before is passed over.
    void ReadNamesOnly() override { m_NamesOnly = true; }
    const ByteSource &Source() const override { return m_Lines.Source(); }

    // The X-QSO: lines met so far.
    uint64_t XQsoCount() const { return m_XQsoCount; }

private:
    enum class Problem { None, TooFewFields, BadDate, BadTime, BadFrequency };

    bool NextQso(LineReader &lines, QsoLine &qso, bool diagnose);
    int SecondInRun(uint64_t minute);
    int CountRun();
    // What a record's names follow from, besides the layout.
    struct NamesShape {
        uint64_t contestLines = 0; // the CONTEST: lines before it
        bool band = false;         // BAND rather than FREQ
        size_t call = 0, end = 0;  // where the exchange divides (Halves)
        size_t tokens = 0;         // past end: a transmitter
        uint32_t typed = 0;        // the slots that type their token: sent from bit 0, received from bit 16
        bool operator==(const NamesShape &) const = default;
    };
    // Bytes kept in m_Arena.
    struct ArenaText {
        size_t at = 0, size = 0;
    };
    // A record's own field names, as kNames lists them.
    enum FieldName {
        kCall, kQsoDate, kTimeOn, kBand, kFreq, kMode, kStationCallsign, kContestId, kStxString, kSrxString,
        kTransmitter, kFieldNames
    };
    NamesShape ShapeOf(const QsoLine &qso) const;
    bool NamedAsBefore(std::string_view value) const;
    void NoteLayout();
    void KeepNames();
    void BuildRecord(const QsoLine &qso, const NamesShape &shape, int second);
    size_t Append(std::string_view bytes);
    char *Extend(size_t size);
    void GrowArena(size_t size);
    void Add(ArenaText name, std::string_view value);
    char *AddRoom(ArenaText name, size_t size);
    void AddPart(ArenaText name, std::string_view part);
    void AddTokens(ArenaText name, const std::vector<std::string_view> &tokens, size_t from, size_t to);

    static Problem Check(QsoLine &qso);
    static QString Explain(Problem problem, const QsoLine &qso, size_t fields);

    LineReader m_Lines;
    size_t m_Chunk;
    size_t m_MaxLine;
    std::unique_ptr<LineReader> m_Scout; // runs ahead to count the records of a minute
    QsoLine m_Qso;
    QsoLine m_ScoutQso;
    bool m_ScoutHolds = false; // m_ScoutQso is the first record of the next run
    uint64_t m_RunMinute = 0;
    int m_RunLength = 0;
    int m_RunIndex = 0;
    std::string m_Contest;
    ContestLayout m_Layout;
    bool m_KnownLayout = false;
    bool m_SlotsLookAtTokens = true; // a slot of m_Layout types its token only when the token looks so
    uint32_t m_SentNamed = 0, m_ReceivedNamed = 0; // NamedSlots of m_Layout's halves
    uint64_t m_XQsoCount = 0;
    std::vector<char> m_Arena; // the names (KeepNames), then the values of the current record
    size_t m_ArenaUsed = 0;    // the part of m_Arena that holds them
    bool m_NamesKept = false;  // the names at the front of m_Arena are those of the contest
    size_t m_NamesEnd = 0;     // where the values begin
    ArenaText m_NameAt[kFieldNames];
    ArenaText m_ContestAt;
    std::vector<ArenaText> m_SentNameAt, m_ReceivedNameAt; // of the layout's slots
    std::string_view m_LineText; // the current record's line
    size_t m_LineAt = 0;         // where its copy begins in m_Arena
    bool m_Done = false;
    bool m_NamesOnly = false;
    uint64_t m_ContestLines = 0;
    NamesShape m_LastShape;     // of the last record read for its names
    bool m_NamedBefore = false; // m_LastShape is set
};

} // namespace adif

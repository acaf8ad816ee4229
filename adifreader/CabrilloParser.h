// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CabrilloLayouts.h"
#include "ChunkBuffer.h"
#include "RecordParser.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace adif {

// The lines of a file one at a time; only the current line is held. A line
// longer than maxLine is passed over whole and reported as too long, so no
// line makes memory grow beyond that.
class LineReader {
public:
    LineReader(std::unique_ptr<ByteSource> source, size_t chunk, size_t maxLine);

    // The next line without its line end (LF or CR LF) and the file offset
    // of its first byte; false at the end of the data. A line held only in
    // part comes back empty with tooLong set.
    bool Next(std::string_view &line, uint64_t &offset, bool &tooLong);

    const ByteSource &Source() const { return m_Bytes.Source(); }
    size_t MaxLine() const { return m_MaxLine; }

private:
    const char *FindLineEnd(size_t from) const;
    void SkipRestOfLine();

    size_t m_MaxLine;
    ChunkBuffer m_Bytes; // marked at the start of the current line
};

// One QSO: line taken apart: the four leading fields, the exchange tokens
// (my call, sent exchange, their call, received exchange, perhaps the
// transmitter), the minute it was made as one number (yyyymmddhhmm), and
// its frequency: kHz, or else the ADIF band of a band token.
struct QsoLine {
    std::string_view freq, mode, date, time;
    std::vector<std::string_view> exchange;
    uint64_t minute = 0;
    std::optional<double> khz;
    std::string_view band;
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
    const ByteSource &Source() const override { return m_Lines.Source(); }

    // The X-QSO: lines met so far.
    uint64_t XQsoCount() const { return m_XQsoCount; }

private:
    enum class Problem { None, TooFewFields, BadDate, BadTime, BadFrequency };

    bool NextQso(LineReader &lines, QsoLine &qso, bool diagnose);
    int SecondInRun(uint64_t minute);
    int CountRun();
    void BuildRecord(const QsoLine &qso, int second);
    void Add(std::string_view name, std::string_view value);
    void AddTokens(std::string_view name, const std::vector<std::string_view> &tokens, size_t from, size_t to);

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
    uint64_t m_XQsoCount = 0;
    std::string m_Arena; // names and values of the current record
    bool m_Done = false;
};

} // namespace adif

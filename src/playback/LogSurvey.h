// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecordFilter.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// What one reading of a log tells before it is replayed: each record's time
// stamp and band, the transmitters that a multi-transmitter log names, and
// which records a filter keeps. The playback's reader stays where it
// stands: the log is read by a reader of its own. A file the reader fails
// on is not refused here: the reading ends there, and the playback meets
// the same failure at the same record, after the records read.
struct LogSurvey {
    // Each record's time stamp in days and its band (its place in the
    // reader's table of bands, lowest first; -1 for none), in file order.
    std::vector<double> Times;
    std::vector<int16_t> Bands;
    // The transmitter numbers the records name, in order (0, 1, 2, ..., 10).
    QStringList Transmitters;

    static LogSurvey Of(const QString &fileName, const RecordFilter &filter);

    int32_t Records() const { return static_cast<int32_t>(Times.size()); }
    // The records that filter keeps, in file order: known for the reading's
    // own filter, for every record and for one station. Any other filter
    // keeps none.
    LogSurvey Only(const RecordFilter &filter) const;

private:
    bool Keeps(const RecordFilter &filter, size_t position) const;

    RecordFilter m_Filter;       // the reading's own
    std::vector<bool> m_Kept;    // by m_Filter
    QStringList m_Named;         // the transmitters in order of first appearance
    std::vector<int32_t> m_TransmitterOf; // each record's place in m_Named; -1 for none
};

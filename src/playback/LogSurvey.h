// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecordFilter.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <vector>

// What one reading of a log tells before it is replayed: how many records
// it holds, how many of them a filter keeps, the transmitters that a
// multi-transmitter log names with the records of each, and the time stamp
// of every record. The playback's reader stays where it stands: the log is
// read by a reader of its own. A file the reader fails on, or a record whose
// time it cannot give, is not refused here: the reading ends there, and the
// playback meets the same failure at the same record, after those read.
struct LogSurvey {
    int32_t Records = 0;
    int32_t Kept = 0; // the records that the filter keeps
    RecordFilter Filter;
    // The transmitter numbers in order (0, 1, 2, ..., 10), with their records.
    QStringList Transmitters;
    std::map<QString, int32_t> TransmitterRecords;
    // Each record's time stamp in days, in file order.
    std::vector<double> Times;

    static LogSurvey Of(const QString &fileName, const RecordFilter &filter);

    // The records a filter keeps: known for the survey's own filter, for
    // every record and for one station; -1 for any other filter.
    int32_t RecordsKept(const RecordFilter &filter) const;
};

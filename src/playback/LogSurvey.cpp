// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogSurvey.h"

#include "AdifReaderControl.h"
#include "DateSerial.h"
#include "Numbers.h"
#include "RuntimeError.h"

#include <algorithm>

namespace {

// Transmitter numbers in numeric order when they are numbers (2 before 10).
bool TransmitterBefore(const QString &a, const QString &b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

} // namespace

LogSurvey LogSurvey::Of(const QString &fileName, const RecordFilter &filter)
{
    LogSurvey survey;
    survey.Filter = filter;
    AdifReaderControl reader;
    try {
        reader.SetFileName(fileName);
        while (reader.NextRecord()) {
            survey.Times.push_back(DateSerial::Date(reader.Year(), reader.Month(), reader.Day())
                                   + DateSerial::Time(reader.Hour(), reader.Minute(), reader.Second()));
            survey.Records = Numbers::Add32(survey.Records, 1);
            if (filter.Matches(reader))
                survey.Kept = Numbers::Add32(survey.Kept, 1);
            const QString transmitter = reader.FieldValue(RecordFilter::kTransmitterField);
            if (!transmitter.isEmpty())
                survey.TransmitterRecords[transmitter] += 1;
        }
    } catch (const RuntimeError &) {
    }
    for (const auto &[transmitter, records] : survey.TransmitterRecords)
        survey.Transmitters << transmitter;
    std::sort(survey.Transmitters.begin(), survey.Transmitters.end(), TransmitterBefore);
    return survey;
}

int32_t LogSurvey::RecordsKept(const RecordFilter &filter) const
{
    if (filter == Filter)
        return Kept;
    if (filter.IsAll())
        return Records;
    const QString transmitter = filter.Transmitter();
    if (!transmitter.isEmpty()) {
        const auto found = TransmitterRecords.find(transmitter);
        return found == TransmitterRecords.end() ? 0 : found->second;
    }
    return -1;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogSurvey.h"

#include "AdifReader.h"
#include "Bands.h"
#include "DateSerial.h"
#include "ReaderError.h"

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
    survey.m_Filter = filter;
    AdifReader reader;
    try {
        reader.Open(fileName);
        while (reader.NextRecord()) {
            const adif::TimeStamp time = reader.Time();
            survey.Times.push_back(DateSerial::Date(time.year, time.month, time.day)
                                   + DateSerial::Time(time.hour, time.minute, time.second));
            const adif::Band *band = adif::BandOfFrequency(reader.Frequency());
            survey.Bands.push_back(band ? static_cast<int16_t>(band - adif::Bands().data()) : int16_t(-1));
            survey.m_Kept.push_back(filter.Matches(reader));
            const QString transmitter = reader.FieldValue(RecordFilter::kTransmitterField);
            qsizetype place = -1;
            if (!transmitter.isEmpty()) {
                place = survey.m_Named.indexOf(transmitter);
                if (place < 0) {
                    place = survey.m_Named.size();
                    survey.m_Named << transmitter;
                }
            }
            survey.m_TransmitterOf.push_back(static_cast<int32_t>(place));
        }
    } catch (const ReaderError &) {
    }
    survey.Transmitters = survey.m_Named;
    std::sort(survey.Transmitters.begin(), survey.Transmitters.end(), TransmitterBefore);
    return survey;
}

LogSurvey LogSurvey::Only(const RecordFilter &filter) const
{
    LogSurvey kept;
    kept.m_Filter = filter;
    kept.m_Named = m_Named;
    kept.Transmitters = Transmitters;
    for (size_t n = 0; n < Times.size(); ++n) {
        if (!Keeps(filter, n))
            continue;
        kept.Times.push_back(Times[n]);
        kept.Bands.push_back(Bands[n]);
        kept.m_Kept.push_back(true);
        kept.m_TransmitterOf.push_back(m_TransmitterOf[n]);
    }
    return kept;
}

bool LogSurvey::Keeps(const RecordFilter &filter, size_t position) const
{
    if (filter == m_Filter)
        return m_Kept[position];
    if (filter.IsAll())
        return true;
    const int32_t place = m_TransmitterOf[position];
    return !filter.Transmitter().isEmpty() && place >= 0 && m_Named[place] == filter.Transmitter();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecordParser.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace adif {

// A record's date and time, from QSO_DATE (YYYYMMDD) and TIME_ON (HHMM or
// HHMMSS); a part that is absent or out of its range is 0.
struct TimeStamp {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};

// Values derived from the current record's fields; white space around the
// source values is ignored.
struct Derived {
    TimeStamp time;
    double frequency = 0.0;
    double splitFrequency = 0.0;
    QString mode;
};

Derived Derive(const RecordParser &record);

// Finds the current record's fields by name, under the keyed collection's
// comparison of keys (text::NameKey): a field is found under any spelling of
// its name that folds the same. Made when a record is first asked about.
class FieldLookup {
public:
    explicit FieldLookup(const RecordParser &record);

    // The value exactly as written; empty when the record has no such field.
    // A repeated field: the last one wins.
    QString Value(QStringView name);

    // The distinct names as reported (text::ReportedName), in order of first
    // appearance.
    QStringList Names();

private:
    QString ScanAscii(QStringView name) const;
    QStringList ScanAsciiNames() const;
    void BuildIndex();
    QStringView KeyOf(size_t field) const;

    const RecordParser &m_Record;
    bool m_Scan = false; // few fields, all named in ASCII: a scan is cheapest
    bool m_Indexed = false;
    QString m_Keys;                     // every field's key, one after another
    std::vector<uint32_t> m_KeyEnds;    // where each field's key ends in m_Keys
    std::vector<uint32_t> m_FirstOfKey; // the fields whose key no earlier field has
    QHash<QStringView, uint32_t> m_Last; // key -> the last field under it, whose value counts
};

} // namespace adif

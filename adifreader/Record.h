#pragma once

#include "RecordParser.h"

#include <QString>
#include <QStringView>
#include <string>

namespace adif {

// Values derived from the current record's fields; white space around the
// source values is ignored.
struct Derived {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    double frequency = 0.0;
    double splitFrequency = 0.0;
    QString mode;
};

// Remembers the last mode text, so the usual run of records in one mode
// shares one QString instead of building it per record.
struct ModeCache {
    std::string written;
    QString mode;
};

Derived Derive(const RecordParser &record, ModeCache &cache);

// The value exactly as written; empty when the record has no such field.
// A repeated field: the last one wins.
QString FieldValue(const RecordParser &record, QStringView name);

} // namespace adif

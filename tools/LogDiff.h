// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// One contact of a log as ardenix-diff compares it.
struct LoggedContact {
    int number = 0;   // its record's number in its log, from 1
    QString call;     // trimmed, in capitals
    QString band;     // the ADIF band in lower case ("20m"); "" when unknown
    QString mode;     // the ADIF mode in capitals, USB and LSB as SSB
    QDateTime time;   // UTC; invalid when the record has none
    double mhz = 0;   // 0 when unknown
    QHash<QString, QString> fields; // the compared fields that have a value, by name in capitals
};

// What two logs of the same contacts disagree on: SOURCE, the log that was
// sent, against STORED, what a logger kept of it.
namespace LogDiff {

// The fields compared when --fields does not say: the reports and the
// exchange fields under the names the reader gives them.
const QStringList &DefaultFields();

// Frequencies closer than this are the same.
constexpr double kFrequencyToleranceMhz = 0.001;

struct Options {
    double minutes = 2;               // the largest time difference of one contact in both logs
    QStringList fields = DefaultFields(); // FREQ among them compares frequencies
};

struct FieldChange {
    QString field;
    QString source;
    QString stored;
};

struct Change {
    const LoggedContact *source;
    const LoggedContact *stored;
    QList<FieldChange> fields;
};

struct Extra {
    const LoggedContact *stored;
    const LoggedContact *doubles = nullptr; // the stored contact it repeats, or null: extra
    const LoggedContact *doublesSource = nullptr; // the source contact matched to that one
};

// Pointers into the lists given to Compare, which must outlive it.
struct Result {
    int matched = 0;
    QList<const LoggedContact *> missing; // in SOURCE, not in STORED
    QList<Extra> extra;                   // in STORED, not in SOURCE, or there twice
    QList<Change> changed;                // in both, with other fields that differ

    bool Agree() const { return missing.isEmpty() && extra.isEmpty() && changed.isEmpty(); }
};

// A contact of SOURCE and one of STORED are the same contact when call,
// band and mode are the same and their times lie at most options.minutes
// apart (a time missing in either is no obstacle); each SOURCE contact, in
// file order, takes the nearest in time of those not yet taken. A STORED
// contact left over is extra, or a double when a taken one with the same
// call, band and mode lies within the minutes of it. A field is compared
// when SOURCE gives it a value and STORED holds it in any contact (a logger
// that keeps no such field is not told it lost it): values differ when they
// differ other than in letter case and surrounding blanks, and whole numbers
// by value ("007" is 7); FREQ differs beyond kFrequencyToleranceMhz.
Result Compare(const QList<LoggedContact> &source, const QList<LoggedContact> &stored, const Options &options);

// "K1ABC 20m CW 2024-11-23 00:14:30", as the lines of ardenix-diff name a contact.
QString Describe(const LoggedContact &contact);

} // namespace LogDiff

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logger/ColumnSet.h"
#include "logger/ContactLog.h"
#include "logger/RadioSetting.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

class AdifLogFile;

// What is typed in the entry window but not yet logged.
struct EntryRow {
    QStringList values;  // one per column
    int mode = Mode::kNone;
    double rxKhz = 0;
    double txKhz = 0;
    bool split = false;
};

// The logger itself: the entry row, the log, and what EnterQso does. The bus
// objects work through this one object; the window, the feeds and the radio
// follow it by its signals.
class StandinLogger : public QObject {
    Q_OBJECT

public:
    // The longest column value taken, in bytes of UTF-8: the unit in which the
    // value travels on the bus and is counted in the ADIF log, so that with at
    // most ColumnSet::kMaxColumns columns a logged record stays within what an
    // ADIF reader holds.
    static constexpr int kMaxValueBytes = 65536;

    enum class FieldResult { Set, NoSuchColumn, TooLong };

    explicit StandinLogger(const ColumnSet &columns, QObject *parent = nullptr);

    const ColumnSet &Columns() const { return m_Columns; }
    const EntryRow &Entry() const { return m_Entry; }
    const ContactLog &Log() const { return m_Log; }
    ContactLog &Log() { return m_Log; }

    // Optional; not owned.
    void SetAdifLog(AdifLogFile *adifLog) { m_AdifLog = adifLog; }

    void ClearEntry();
    FieldResult SetField(int column, const QString &text);
    void SetFrequency(int mode, double rxKhz, double txKhz, bool split);

    bool EntryIsDupe() const;
    // The entry row as a contact not yet logged (no time stamp).
    Contact EntryContact() const;

    // Logs the entry row, stamped with the given time, and clears it.
    void EnterQso(const QDateTime &loggedUtc);

signals:
    void EntryChanged();
    // Each SetFrequency, after the entry row has taken it.
    void FrequencySet(const RadioSetting &setting);
    // The contact just added to the log, with its line in the ADIF log file
    // (empty without one), before the entry row is cleared.
    void ContactLogged(const Contact &contact, const QByteArray &adifRecord);

private:
    QString EntryCall() const;
    QString EntryBand() const;

    const ColumnSet m_Columns;
    EntryRow m_Entry;
    ContactLog m_Log;
    AdifLogFile *m_AdifLog = nullptr;
};

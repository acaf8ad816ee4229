#pragma once

#include "ColumnSet.h"
#include "ContactLog.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

class AdifLogFile;

// What is typed in the entry window but not yet logged.
struct EntryRow {
    QStringList values;  // one per column
    int mode = Mode::None;
    double rxKhz = 0;
    double txKhz = 0;
    bool split = false;
};

// The logger itself: the entry row, the log, and what EnterQso does. The bus
// objects and the window both work through this one object.
class StandinLogger : public QObject {
    Q_OBJECT

public:
    // The longest column value taken, in bytes of UTF-8: the unit in which the
    // value travels on the bus and is counted in the ADIF log, so that with at
    // most ColumnSet::MaxColumns columns a logged record stays within what an
    // ADIF reader holds.
    static constexpr int MaxValueBytes = 65536;

    enum class FieldResult { Set, NoSuchColumn, TooLong };

    explicit StandinLogger(const ColumnSet &columns, QObject *parent = nullptr);

    const ColumnSet &columns() const { return m_Columns; }
    const EntryRow &entry() const { return m_Entry; }
    const ContactLog &log() const { return m_Log; }
    ContactLog &log() { return m_Log; }

    // Optional; not owned.
    void setAdifLog(AdifLogFile *adifLog) { m_AdifLog = adifLog; }

    void clearEntry();
    FieldResult setField(int column, const QString &text);
    void setFrequency(int mode, double rxKhz, double txKhz, bool split);

    bool entryIsDupe() const;

    // Logs the entry row, stamped with the given time, and clears it.
    void enterQso(const QDateTime &loggedUtc);

signals:
    void entryChanged();
    void contactLogged(int index);

private:
    QString entryCall() const;
    QString entryBand() const;

    const ColumnSet m_Columns;
    EntryRow m_Entry;
    ContactLog m_Log;
    AdifLogFile *m_AdifLog = nullptr;
};

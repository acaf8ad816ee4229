// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logger/ColumnSet.h"
#include "logger/ContactLog.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// The --log-adif file: each contact is appended as an ADI record the moment
// it is logged, so a test can read it as soon as EnterQso has answered.
class AdifLogFile {
public:
    // Opens for appending; writes the ADIF header when the file is new or empty.
    // Throws BadInput when the file cannot be opened.
    explicit AdifLogFile(const QString &path);

    // Appends one Record(); false when it could not be written (the reason is in ErrorString()).
    bool Append(const QByteArray &record);
    QString ErrorString() const { return m_File.errorString(); }

    static QByteArray Header(const QDateTime &createdUtc);
    // One contact's line of the log, ending in <EOR> and a line break.
    static QByteArray Record(const ColumnSet &columns, const Contact &contact);
    // A whole ADIF file holding just this record, as the network feeds send a contact.
    static QByteArray OneRecordFile(const QByteArray &record);

private:
    QFile m_File;
};

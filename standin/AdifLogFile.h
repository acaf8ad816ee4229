#pragma once

#include "ColumnSet.h"
#include "ContactLog.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// The --log-adif file: each contact is appended as an ADI record the moment
// it is logged, so a test can read it as soon as EnterQso has answered.
class AdifLogFile {
public:
    // Opens for appending; writes the ADIF header when the file is new or empty.
    // Throws BadInput when the file cannot be opened.
    AdifLogFile(const QString &path, const ColumnSet &columns);

    // False when the record could not be written (the reason is in ErrorString()).
    bool Append(const Contact &contact);
    QString ErrorString() const { return m_File.errorString(); }

    static QByteArray Header(const QDateTime &createdUtc);
    static QByteArray Record(const ColumnSet &columns, const Contact &contact);

private:
    QFile m_File;
    const ColumnSet &m_Columns;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractSocket>
#include <QString>

// A socket's error as the feeds report it, in words a user acts on.
inline QString DescribeSocketProblem(QAbstractSocket::SocketError error, const QString &errorString)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return QStringLiteral("nobody is listening");
    case QAbstractSocket::RemoteHostClosedError: return QStringLiteral("the other end closed the connection");
    case QAbstractSocket::HostNotFoundError: return QStringLiteral("the name does not resolve");
    default: return errorString;
    }
}

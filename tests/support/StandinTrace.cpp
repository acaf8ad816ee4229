// SPDX-License-Identifier: GPL-3.0-or-later
#include "StandinTrace.h"

#include <QFile>
#include <QJsonDocument>

QList<QJsonObject> ReadTrace(const QString &path)
{
    QList<QJsonObject> calls;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return calls;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            calls << QJsonDocument::fromJson(line).object();
    return calls;
}

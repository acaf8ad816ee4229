// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// One ADIF field as a log holds it: <NAME:bytes>value and a space. The
// length counts the bytes of the value as written, in UTF-8, not its
// characters.
inline QByteArray AdifField(const QString &name, const QString &value)
{
    const QByteArray data = value.toUtf8();
    return "<" + name.toUtf8() + ":" + QByteArray::number(data.size()) + ">" + data + " ";
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

// The calls in the stand-in logger's trace (--trace), one JSON object a
// line, in the order they reached it; an object is empty where its line
// did not parse.
QList<QJsonObject> ReadTrace(const QString &path);

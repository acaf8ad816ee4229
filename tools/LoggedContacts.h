// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LogDiff.h"

#include <QList>
#include <QString>
#include <QStringList>

// The contacts of a log (ADIF, ADX or Cabrillo) as ardenix-diff compares
// them, each with the named fields that have a value. Throws ReaderError
// when the file cannot be read. damage counts the places where the reader
// met damage and recovered.
QList<LoggedContact> ReadLoggedContacts(const QString &path, const QStringList &fields, int *damage = nullptr);

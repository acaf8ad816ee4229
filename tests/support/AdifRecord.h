// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AdifField.h"

#include <QByteArray>

// A contact record as a log writes it, on a line of its own; extra fields
// (AdifField text) follow the usual ones.
QByteArray AdifRecord(const QByteArray &call, const QByteArray &date, const QByteArray &time,
                      const QByteArray &mode = "CW", const QByteArray &freq = "7.025", const QByteArray &extra = {});

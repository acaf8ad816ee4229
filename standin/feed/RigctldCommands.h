// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logger/RadioSetting.h"

#include <QByteArray>
#include <QList>

// Commands of Hamlib's rigctld network protocol that set a radio, one a
// line; rigctld answers each with "RPRT 0", or "RPRT -n" for an error.
namespace RigctldCommands {

// Split first, then frequency, then mode. In split the radio receives on
// VFO A (F) and transmits on VFO B (I); otherwise it works on the transmit
// frequency. A frequency of 0 and mode code 0 leave the radio's own alone.
QList<QByteArray> For(const RadioSetting &setting);

// True for rigctld's answer of success, "RPRT 0" (without the line feed).
bool IsSuccess(const QByteArray &answer);

} // namespace RigctldCommands

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/FeedContact.h"

#include <QByteArray>

// Log entries of Tlf's LAN protocol, as Tlf 1.4.1 sends them to the other
// stations of a multi-operator site: a datagram of the sending node's letter,
// the message type, one line of Tlf's log, a line feed and a NUL. The
// receiving Tlf cuts the last character off the text before the NUL and
// stores the line in its log as it stands.
namespace TlfLanMessage {

constexpr char kLogEntry = '1';
constexpr int kLineLength = 87;

// The line in the fixed columns of Tlf's log (from 0): band 0-2, mode 3-5,
// date and time 7-21, QSO number 23-26, call 29-42, reports sent 44-46 and
// received 49-51, exchange 54-67, points 76-77, kHz 80-86. Empty when Tlf
// cannot hold the contact: a band other than 160 m to 10 m, or a mode other
// than CW, SSB and RTTY. qsoNumber stands where no serial was sent.
QByteArray LogLine(const FeedContact &contact, int qsoNumber);

// The datagram of one log entry from node `node` ('A' to 'H').
QByteArray LogEntry(char node, const QByteArray &logLine);

} // namespace TlfLanMessage

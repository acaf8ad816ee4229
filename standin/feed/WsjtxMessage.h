// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/FeedContact.h"

#include <QByteArray>
#include <QString>

// Messages of the WSJT-X network protocol that a logging client sends, as
// its authors document them: big-endian QDataStream fields after a header
// of magic number, schema number, message type and client id. Each function
// makes one whole datagram.
namespace WsjtxMessage {

constexpr quint32 kMagic = 0xadbccbda;
// Schema 2 is QDataStream as Qt 5.2 writes it; every field sent here is the same in 3.
constexpr quint32 kSchema = 2;
constexpr quint32 kMaximumSchema = 3;

constexpr quint32 kHeartbeat = 0;
constexpr quint32 kStatus = 1;
constexpr quint32 kQsoLogged = 5;
constexpr quint32 kClose = 6;
constexpr quint32 kLoggedAdif = 12;

// The id by which receivers tell the stand-in from other clients.
inline const QString kClientId = QStringLiteral("vantrel-standin");

QByteArray Heartbeat(const QString &id, const QString &version, const QString &revision);
// The station in the entry row, not yet logged: its call, frequency and mode.
QByteArray Status(const QString &id, const FeedContact &entry);
QByteArray QsoLogged(const QString &id, const FeedContact &contact);
QByteArray LoggedAdif(const QString &id, const QByteArray &adifText);
QByteArray Close(const QString &id);

} // namespace WsjtxMessage

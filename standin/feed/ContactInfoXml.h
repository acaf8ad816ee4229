// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/FeedContact.h"

#include <QByteArray>
#include <QString>

// The contactinfo datagram that contest score boards, spotting and
// statistics tools take: one UTF-8 XML document per contact; and the same
// family's radio datagram, <RadioInfo>, whenever the frequency or mode is set.
namespace ContactInfoXml {

// The application name the stand-in gives unless told otherwise.
inline const QString kApp = QStringLiteral("vantrel-standin");

// `id` tells contacts apart (it is unique per contact); `stationName` names
// the computer that logged it; `app` the program that sent it.
QByteArray Datagram(const FeedContact &contact, const QString &id, const QString &stationName, const QString &app);

// The entry row's radio: frequencies in tens of Hz, the mode, and the station
// (stationName the computer, app the program, the station's call as OpCall).
QByteArray RadioInfo(const FeedContact &entry, const QString &stationName, const QString &app);

// The band as these tools name it, in MHz: "1.8", "3.5", "7", "14", ... "" when unknown.
QString BandText(const QString &adifBand);

} // namespace ContactInfoXml

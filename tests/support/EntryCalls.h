// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Plain D-Bus calls to the stand-in's objects, as any host makes them, on the
// test's private session bus.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QVariant>

#include "bus/Contract.h"

inline constexpr int kEntryCallWaitMs = 10000;

inline QDBusMessage CallObject(const QString &path, const QString &interface, const QString &member,
                               const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(Contract::kBusName, path, interface, member);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, kEntryCallWaitMs);
}

inline QDBusMessage CallEntry(const QString &member, const QVariantList &arguments = {})
{
    return CallObject(QStringLiteral("/entry"), QStringLiteral("vantrel.Entry"), member, arguments);
}

inline QVariant Int16(int value)
{
    return QVariant::fromValue(qint16(value));
}

inline bool Answered(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ReplyMessage;
}

// Types a contact into the entry row: call in column 1, mode, both frequencies the same.
inline bool TypeContact(const QString &call, double khz, int mode)
{
    return Answered(CallEntry(QStringLiteral("SetFieldN"), {Int16(1), call}))
        && Answered(CallEntry(QStringLiteral("SetLogFrequencyEx"), {Int16(mode), khz, khz, Int16(0)}));
}

inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

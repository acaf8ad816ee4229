// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Automation.h"
#include "Vantrel.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>

// The logger's entry calls for one contact of the benchmarks' contest log,
// made as bare QtDBus messages to the running logger: the floor that
// Ardenix's own calls are measured against.
class BareCalls {
public:
    BareCalls() : m_Owner(QDBusConnection::sessionBus().interface()->serviceOwner(kVantrelProgId).value()) {}

    // What Ardenix sends to load contact i into the entry row: ClearEntry,
    // a SetFieldN for each of the seven columns, SetLogFrequencyEx.
    static constexpr int kLoadCalls = 9;
    void Load(int i)
    {
        Call(QStringLiteral("ClearEntry"));
        const QStringList values = {QStringLiteral("K%1ABC").arg(i), QStringLiteral("599"), QStringLiteral("599"),
                                    QString::number(i + 1), QStringLiteral("155"), QStringLiteral("JOE"),
                                    QStringLiteral("MA")};
        for (qint16 column = 1; column <= values.size(); ++column)
            Call(QStringLiteral("SetFieldN"), {QVariant::fromValue(column), values[column - 1]});
        Call(QStringLiteral("SetLogFrequencyEx"),
             {QVariant::fromValue<qint16>(3), 7025.0, 7025.0, QVariant::fromValue<qint16>(0)});
    }

    // One call of the entry object, waiting for its reply.
    void Call(const QString &member, const QVariantList &args = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(m_Owner, QStringLiteral("/entry"), QString(), member);
        call.setArguments(args);
        QDBusConnection::sessionBus().call(call, QDBus::Block, Automation::kCallTimeoutMs);
    }

private:
    QString m_Owner;
};

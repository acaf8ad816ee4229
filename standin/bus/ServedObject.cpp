// SPDX-License-Identifier: GPL-3.0-or-later
#include "bus/ServedObject.h"

#include "bus/CallTrace.h"
#include "bus/Contract.h"
#include "bus/FaultPlan.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QThread>

#include <cstdlib>

ServedObject::ServedObject(FaultPlan &plan, CallTrace *trace, QObject *parent)
    : QObject(parent), m_Plan(plan), m_Trace(trace)
{
}

bool ServedObject::AcceptCall()
{
    const QString member = message().member();
    if (m_Trace)
        m_Trace->Record(message());

    const FaultPlan::Action action = m_Plan.NextCall(member);
    m_WrongType = action == FaultPlan::Action::WrongType;

    // At once, as a crashed logger ends: calls already queued behind this
    // one are never carried out, and no reply goes out. The trace and the
    // ADIF log are flushed line by line, so neither loses anything.
    if (action == FaultPlan::Action::Exit) {
        WaitForEarlierReplies();
        std::_Exit(kPlannedExitCode);
    }

    // A busy logger: nothing else is served meanwhile, the window included.
    if (m_Plan.DelayMs() > 0)
        QThread::msleep(m_Plan.DelayMs());

    if (action == FaultPlan::Action::Fail) {
        Refuse(Contract::kInjectedError, QStringLiteral("Injected failure of %1 (call %2)")
                                             .arg(member)
                                             .arg(m_Plan.CallCount(member)));
        return false;
    }
    return true;
}

// The bus library may still hold replies to earlier calls. The bus answers
// a connection's messages in the order they were sent, so once it has
// answered a call made now, those replies have reached it. Calls that arrive
// meanwhile wait: a blocking call does not deliver them.
void ServedObject::WaitForEarlierReplies()
{
    connection().interface()->isServiceRegistered(Contract::kBusName);
}

void ServedObject::Answer()
{
    if (m_WrongType)
        SendWrongType(QVariant());
}

void ServedObject::Refuse(const QString &errorName, const QString &text)
{
    sendErrorReply(errorName, text);
}

void ServedObject::SendWrongType(const QVariant &rightValue)
{
    // Text where text is due would not be wrong, so those members get a number.
    const QVariant wrong = rightValue.metaType() == QMetaType::fromType<QString>() ? QVariant(int(-1))
                                                                                     : QVariant(QStringLiteral("wrong"));
    setDelayedReply(true);
    connection().send(message().createReply(wrong));
}

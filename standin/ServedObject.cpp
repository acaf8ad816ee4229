#include "ServedObject.h"

#include "CallTrace.h"
#include "Contract.h"
#include "FaultPlan.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QThread>

#include <cstdlib>

ServedObject::ServedObject(FaultPlan &plan, CallTrace *trace, QObject *parent)
    : QObject(parent), m_Plan(plan), m_Trace(trace)
{
}

bool ServedObject::acceptCall()
{
    const QString member = message().member();
    if (m_Trace)
        m_Trace->record(message());

    const FaultPlan::Action action = m_Plan.nextCall(member);
    m_WrongType = action == FaultPlan::Action::WrongType;

    // At once, as a crashed logger ends: calls already queued behind this
    // one are never carried out, and no reply goes out. The trace and the
    // ADIF log are flushed line by line, so neither loses anything.
    if (action == FaultPlan::Action::Exit) {
        waitForEarlierReplies();
        std::_Exit(PlannedExitCode);
    }

    // A busy logger: nothing else is served meanwhile, the window included.
    if (m_Plan.delayMs() > 0)
        QThread::msleep(m_Plan.delayMs());

    if (action == FaultPlan::Action::Fail) {
        refuse(Contract::InjectedError, QString("Injected failure of %1 (call %2)")
                                            .arg(member)
                                            .arg(m_Plan.callCount(member)));
        return false;
    }
    return true;
}

// The bus library may still hold replies to earlier calls. The bus answers
// a connection's messages in the order they were sent, so once it has
// answered a call made now, those replies have reached it. Calls that arrive
// meanwhile wait: a blocking call does not deliver them.
void ServedObject::waitForEarlierReplies()
{
    connection().interface()->isServiceRegistered(Contract::BusName);
}

void ServedObject::answer()
{
    if (m_WrongType)
        sendWrongType(QVariant());
}

void ServedObject::refuse(const QString &errorName, const QString &text)
{
    sendErrorReply(errorName, text);
}

void ServedObject::sendWrongType(const QVariant &rightValue)
{
    // Text where text is due would not be wrong, so those members get a number.
    const QVariant wrong = rightValue.metaType() == QMetaType::fromType<QString>() ? QVariant(int(-1))
                                                                                     : QVariant(QString("wrong"));
    setDelayedReply(true);
    connection().send(message().createReply(wrong));
}

#include "ServedObject.h"

#include "CallTrace.h"
#include "Contract.h"
#include "FaultPlan.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QThread>

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

    if (action == FaultPlan::Action::Exit) {
        setDelayedReply(true);  // no reply goes out at all
        QCoreApplication::exit(PlannedExitCode);
        return false;
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

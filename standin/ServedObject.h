#pragma once

#include <QDBusContext>
#include <QObject>
#include <QVariant>

class CallTrace;
class FaultPlan;

// Base of the objects on the bus. Every call goes through acceptCall() first,
// which traces it and applies the fault plan, and leaves through answer().
class ServedObject : public QObject, public QDBusContext {
    Q_OBJECT

public:
    // Exit status when --exit-at ends the program: that of a logger closed by hand.
    static constexpr int PlannedExitCode = 0;

protected:
    ServedObject(FaultPlan &plan, CallTrace *trace, QObject *parent);

    // False when the fault plan has already answered the call; the caller then
    // returns at once without acting. A planned exit does not return at all.
    bool acceptCall();

    template <typename T>
    T answer(const T &value)
    {
        if (m_WrongType)
            sendWrongType(QVariant::fromValue(value));
        return value;
    }
    void answer();

    void refuse(const QString &errorName, const QString &text);

private:
    void waitForEarlierReplies();
    void sendWrongType(const QVariant &rightValue);

    FaultPlan &m_Plan;
    CallTrace *m_Trace;
    bool m_WrongType = false;
};

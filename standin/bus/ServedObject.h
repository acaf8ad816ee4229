// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusContext>
#include <QObject>
#include <QVariant>

class CallTrace;
class FaultPlan;

// Base of the objects on the bus. Every call goes through AcceptCall() first,
// which traces it and applies the fault plan, and leaves through Answer().
class ServedObject : public QObject, public QDBusContext {
    Q_OBJECT

public:
    // Exit status when --exit-at ends the program: that of a logger closed by hand.
    static constexpr int kPlannedExitCode = 0;

protected:
    ServedObject(FaultPlan &plan, CallTrace *trace, QObject *parent);

    // False when the fault plan has already answered the call; the caller then
    // returns at once without acting. A planned exit does not return at all.
    bool AcceptCall();

    template <typename T>
    T Answer(const T &value)
    {
        if (m_WrongType)
            SendWrongType(QVariant::fromValue(value));
        return value;
    }
    void Answer();

    void Refuse(const QString &errorName, const QString &text);

private:
    void WaitForEarlierReplies();
    void SendWrongType(const QVariant &rightValue);

    FaultPlan &m_Plan;
    CallTrace *m_Trace;
    bool m_WrongType = false;
};

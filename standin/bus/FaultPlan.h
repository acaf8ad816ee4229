// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// The faults a test asks for on the command line: counts the calls of each
// member and says what to do with each one.
class FaultPlan {
public:
    enum class Action {
        Answer,     // carry out the call and reply as usual
        Fail,       // reply with vantrel.Error.Injected
        Exit,       // end the program without replying
        WrongType,  // carry out the call, reply with a value of the wrong type
    };

    // Only these member names are accepted in fault options.
    explicit FaultPlan(const QStringList &knownMembers);

    // "MEMBER:N", N counted from 1. Throw BadInput for an unknown member or a bad N.
    void AddFailure(const QString &memberCall);
    void AddExit(const QString &memberCall);
    // Every call of MEMBER.
    void AddWrongType(const QString &member);
    void SetDelayMs(int delayMs) { m_DelayMs = delayMs; }
    int DelayMs() const { return m_DelayMs; }

    // Counts one more call of the member and says what to do with it.
    Action NextCall(const QString &member);
    int CallCount(const QString &member) const { return m_Calls.value(member); }

private:
    struct Planned {
        QString member;
        int call;
        bool operator==(const Planned &other) const = default;
        friend size_t qHash(const Planned &planned, size_t seed) { return qHash(planned.member, seed) ^ size_t(planned.call); }
    };

    Planned Parse(const QString &memberCall, const QString &option) const;
    void CheckMember(const QString &member, const QString &option) const;

    QStringList m_KnownMembers;
    QHash<QString, int> m_Calls;
    QSet<Planned> m_Failures;
    QSet<Planned> m_Exits;
    QSet<QString> m_WrongTypes;
    int m_DelayMs = 0;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "bus/FaultPlan.h"

#include "logger/BadInput.h"

FaultPlan::FaultPlan(const QStringList &knownMembers)
    : m_KnownMembers(knownMembers)
{
}

void FaultPlan::AddFailure(const QString &memberCall)
{
    m_Failures.insert(Parse(memberCall, QStringLiteral("--fail")));
}

void FaultPlan::AddExit(const QString &memberCall)
{
    m_Exits.insert(Parse(memberCall, QStringLiteral("--exit-at")));
}

void FaultPlan::AddWrongType(const QString &member)
{
    CheckMember(member, QStringLiteral("--wrong-type"));
    m_WrongTypes.insert(member);
}

FaultPlan::Action FaultPlan::NextCall(const QString &member)
{
    const int call = ++m_Calls[member];
    if (m_Exits.contains({member, call}))
        return Action::Exit;
    if (m_Failures.contains({member, call}))
        return Action::Fail;
    if (m_WrongTypes.contains(member))
        return Action::WrongType;
    return Action::Answer;
}

FaultPlan::Planned FaultPlan::Parse(const QString &memberCall, const QString &option) const
{
    const int colon = memberCall.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        throw BadInput(QStringLiteral("%1 %2: expected MEMBER:N, for example SetFieldN:3").arg(option, memberCall));

    const QString member = memberCall.left(colon);
    CheckMember(member, option);

    bool isNumber = false;
    const int call = memberCall.mid(colon + 1).toInt(&isNumber);
    if (!isNumber || call < 1)
        throw BadInput(QStringLiteral("%1 %2: N must be a whole number from 1 up").arg(option, memberCall));
    return {member, call};
}

void FaultPlan::CheckMember(const QString &member, const QString &option) const
{
    if (!m_KnownMembers.contains(member))
        throw BadInput(QStringLiteral("%1: '%2' is not a member of the automation interface (one of %3)")
                           .arg(option, member, m_KnownMembers.join(QStringLiteral(", "))));
}

#include "FaultPlan.h"

#include "BadInput.h"

FaultPlan::FaultPlan(const QStringList &knownMembers)
    : m_KnownMembers(knownMembers)
{
}

void FaultPlan::addFailure(const QString &memberCall)
{
    m_Failures.insert(parse(memberCall, "--fail"));
}

void FaultPlan::addExit(const QString &memberCall)
{
    m_Exits.insert(parse(memberCall, "--exit-at"));
}

void FaultPlan::addWrongType(const QString &member)
{
    checkMember(member, "--wrong-type");
    m_WrongTypes.insert(member);
}

FaultPlan::Action FaultPlan::nextCall(const QString &member)
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

FaultPlan::Planned FaultPlan::parse(const QString &memberCall, const QString &option) const
{
    const int colon = memberCall.lastIndexOf(':');
    if (colon < 0)
        throw BadInput(QString("%1 %2: expected MEMBER:N, for example SetFieldN:3").arg(option, memberCall));

    const QString member = memberCall.left(colon);
    checkMember(member, option);

    bool isNumber = false;
    const int call = memberCall.mid(colon + 1).toInt(&isNumber);
    if (!isNumber || call < 1)
        throw BadInput(QString("%1 %2: N must be a whole number from 1 up").arg(option, memberCall));
    return {member, call};
}

void FaultPlan::checkMember(const QString &member, const QString &option) const
{
    if (!m_KnownMembers.contains(member))
        throw BadInput(QString("%1: '%2' is not a member of the automation interface (one of %3)")
                           .arg(option, member, m_KnownMembers.join(", ")));
}

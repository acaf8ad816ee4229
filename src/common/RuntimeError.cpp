// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuntimeError.h"

RuntimeError::RuntimeError(int number, const QString &description)
    : std::runtime_error(description.toStdString()), m_Number(number), m_Description(description)
{
}

RuntimeError RuntimeError::InvalidCall() { return {5, QStringLiteral("Invalid procedure call or argument")}; }
RuntimeError RuntimeError::Overflow() { return {6, QStringLiteral("Overflow")}; }
RuntimeError RuntimeError::SubscriptOutOfRange() { return {9, QStringLiteral("Subscript out of range")}; }
RuntimeError RuntimeError::TypeMismatch() { return {13, QStringLiteral("Type mismatch")}; }

RuntimeError RuntimeError::FileError(const QString &path, const QString &reason)
{
    return {75, QStringLiteral("Path/File access error: %1: %2").arg(path, reason)};
}

RuntimeError RuntimeError::ObjectNotSet()
{
    return {91, QStringLiteral("Object variable or With block variable not set")};
}

RuntimeError RuntimeError::KeyExists()
{
    return {457, QStringLiteral("This key is already associated with an element of this collection")};
}

RuntimeError RuntimeError::Automation(const QString &whatHostSaid)
{
    return {440, QStringLiteral("Automation error: %1").arg(whatHostSaid)};
}

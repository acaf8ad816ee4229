// SPDX-License-Identifier: GPL-3.0-or-later
#include "bus/CallTrace.h"

#include "logger/BadInput.h"

#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonValue ToJson(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::Double:
        return value.toDouble();
    default:
        break;
    }
    if (value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    if (value.metaType() == QMetaType::fromType<QDBusSignature>())
        return value.value<QDBusSignature>().signature();
    if (value.metaType() == QMetaType::fromType<QDBusVariant>())
        return ToJson(value.value<QDBusVariant>().variant());
    return value.toString();
}

} // namespace

CallTrace::CallTrace(const QString &path, const QElapsedTimer &clock)
    : m_File(path), m_Clock(clock)
{
    if (!m_File.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw BadInput(QStringLiteral("cannot write the trace file %1: %2").arg(path, m_File.errorString()));
}

void CallTrace::Record(const QDBusMessage &call)
{
    m_File.write(Line(m_Clock.nsecsElapsed() / 1e6, call));
    m_File.flush();
}

QByteArray CallTrace::Line(double elapsedMs, const QDBusMessage &call)
{
    QJsonArray args;
    for (const QVariant &argument : call.arguments())
        args.append(ToJson(argument));

    QJsonObject object;
    object[QStringLiteral("t")] = elapsedMs;
    object[QStringLiteral("member")] = call.member();
    object[QStringLiteral("signature")] = call.signature();
    object[QStringLiteral("args")] = args;
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + "\n";
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "Automation.h"

#include "RuntimeError.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <initializer_list>

namespace Automation {

namespace {

// How long the bus itself may take to say whether a peer is still there.
constexpr int kBusQueryTimeoutMs = 500;

bool IsOneOf(const QString &name, std::initializer_list<const char *> names)
{
    for (const char *candidate : names) {
        if (name == QLatin1String(candidate))
            return true;
    }
    return false;
}

// Whether the connection behind a unique name is still on the bus. A bus
// that does not answer says nothing either way, which reads as "still there".
bool IsStillOnBus(const QString &owner)
{
    QDBusMessage query = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                        QStringLiteral("/org/freedesktop/DBus"),
                                                        QStringLiteral("org.freedesktop.DBus"),
                                                        QStringLiteral("NameHasOwner"));
    query.setArguments({owner});
    const QDBusMessage answer = QDBusConnection::sessionBus().call(query, QDBus::Block, kBusQueryTimeoutMs);
    if (answer.type() != QDBusMessage::ReplyMessage)
        return true;
    return answer.arguments().value(0).toBool();
}

// D-Bus reports both a timeout and a peer that left before answering as
// NoReply. The bus sends its NoReply only after it has dropped the peer's
// unique name, so asking for that name afterwards tells the two apart.
QString DescribeFailure(const QDBusMessage &reply, const QString &member, const QString &owner)
{
    const QString name = reply.errorName();
    if (IsOneOf(name, {"org.freedesktop.DBus.Error.NoReply", "org.freedesktop.DBus.Error.Timeout"})) {
        if (IsStillOnBus(owner))
            return QStringLiteral("%1: no answer within %2 ms").arg(member).arg(kCallTimeoutMs);
        return QStringLiteral("%1: the program has gone away during the call "
                              "(it exited or dropped its bus connection)").arg(member);
    }
    if (IsOneOf(name, {"org.freedesktop.DBus.Error.ServiceUnknown", "org.freedesktop.DBus.Error.NameHasNoOwner"}))
        return QStringLiteral("%1: the program has gone away (it left the bus before the call)").arg(member);
    if (name == QLatin1String("org.freedesktop.DBus.Error.Disconnected"))
        return QStringLiteral("%1: the connection to the session bus is lost").arg(member);
    return QStringLiteral("%1: %2: %3").arg(member, name, reply.errorMessage());
}

QVariant Unwrap(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusVariant>())
        return Unwrap(value.value<QDBusVariant>().variant());
    return value;
}

} // namespace

Object::Object(QString owner, QString path) : m_Owner(std::move(owner)), m_Path(std::move(path)) {}

QVariant Object::Call(const QString &member, const QVariantList &args) const
{
    // No interface name: the host dispatches by member name alone.
    QDBusMessage call = QDBusMessage::createMethodCall(m_Owner, m_Path, QString(), member);
    call.setArguments(args);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw RuntimeError::Automation(DescribeFailure(reply, member, m_Owner));
    const QVariantList values = reply.arguments();
    return values.isEmpty() ? QVariant() : Unwrap(values.first());
}

std::shared_ptr<Object> Object::ObjectFrom(const QVariant &value) const
{
    if (value.metaType() != QMetaType::fromType<QDBusObjectPath>())
        throw RuntimeError::TypeMismatch();
    return std::make_shared<Object>(m_Owner, value.value<QDBusObjectPath>().path());
}

std::shared_ptr<Object> GetActiveObject(const QString &progId)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return nullptr;
    const QDBusReply<QString> owner = bus.interface()->serviceOwner(progId);
    if (!owner.isValid() || owner.value().isEmpty())
        return nullptr;
    return std::make_shared<Object>(owner.value(), kActiveObjectPath);
}

} // namespace Automation

#include "Automation.h"

#include "RuntimeError.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace Automation {

namespace {

QString DescribeFailure(const QDBusMessage &reply, const QString &member)
{
    const QString name = reply.errorName();
    if (name == QLatin1String("org.freedesktop.DBus.Error.NoReply")
        || name == QLatin1String("org.freedesktop.DBus.Error.Timeout"))
        return QStringLiteral("%1: no answer within %2 ms").arg(member).arg(kCallTimeoutMs);
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
        || name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return QStringLiteral("%1: the program has gone away (%2)").arg(member, reply.errorMessage());
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
        throw RuntimeError::Automation(DescribeFailure(reply, member));
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

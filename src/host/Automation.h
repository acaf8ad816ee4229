// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

// Automation over the D-Bus session bus: the running program that owns the
// well-known name <ProgID> serves its active object; members are called
// late-bound, by name, with variant arguments. A QVariant of qint16 travels
// as D-Bus `n`, int as `i`, double as `d`, QString as `s`.
namespace Automation {

// How long one call may take before it fails; a hung host never freezes the caller for good.
constexpr int kCallTimeoutMs = 3000;

// Where a program serves its active object.
inline const QString kActiveObjectPath = QStringLiteral("/document");

// A reference to one object of one live process. It is bound to the owner's
// unique bus name, so a host that was restarted is a different object and
// calls on the old reference fail instead of reaching the new process.
class Object {
public:
    Object(QString owner, QString path);

    // One call is one message and one reply: no introspection. Returns the
    // first value of the reply as the host sent it (invalid when it sent
    // none). Throws a RuntimeError "Automation error: <member>: ..." that
    // tells the host's own error (its name and message) from a host that has
    // gone away (before or during the call) and from one that gave no answer
    // within kCallTimeoutMs.
    QVariant Call(const QString &member, const QVariantList &args = {}) const;

    // The object that a returned object path names on the same process;
    // a value that is not an object path raises Type mismatch.
    std::shared_ptr<Object> ObjectFrom(const QVariant &value) const;

private:
    QString m_Owner;
    QString m_Path;
};

// The running program's active object under its ProgID; empty when there is
// no session bus or nobody owns the name. This lookup is the one call whose
// failure is caught.
std::shared_ptr<Object> GetActiveObject(const QString &progId);

} // namespace Automation

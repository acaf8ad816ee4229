// SPDX-License-Identifier: GPL-3.0-or-later
#include "bus/DocumentObject.h"

#include "bus/Contract.h"
#include "documentadaptor.h"

DocumentObject::DocumentObject(FaultPlan &plan, CallTrace *trace, QObject *parent)
    : ServedObject(plan, trace, parent)
{
    new DocumentAdaptor(this);
}

QDBusObjectPath DocumentObject::GetCurrentEntry()
{
    if (!AcceptCall())
        return {};
    return Answer(QDBusObjectPath(Contract::kEntryPath));
}

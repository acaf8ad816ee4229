// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentObject.h"

#include "Contract.h"
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "bus/Contract.h"

#include "documentadaptor.h"
#include "entryadaptor.h"

namespace {

void AppendSlots(const QMetaObject &adaptor, QStringList &names)
{
    for (int i = adaptor.methodOffset(); i < adaptor.methodCount(); ++i) {
        const QMetaMethod method = adaptor.method(i);
        if (method.methodType() == QMetaMethod::Slot)
            names.append(QString::fromLatin1(method.name()));
    }
}

} // namespace

QStringList Contract::Members()
{
    QStringList names;
    AppendSlots(DocumentAdaptor::staticMetaObject, names);
    AppendSlots(EntryAdaptor::staticMetaObject, names);
    return names;
}

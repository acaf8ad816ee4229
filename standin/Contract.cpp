#include "Contract.h"

#include "documentadaptor.h"
#include "entryadaptor.h"

namespace {

void appendSlots(const QMetaObject &adaptor, QStringList &names)
{
    for (int i = adaptor.methodOffset(); i < adaptor.methodCount(); ++i) {
        const QMetaMethod method = adaptor.method(i);
        if (method.methodType() == QMetaMethod::Slot)
            names.append(QString::fromLatin1(method.name()));
    }
}

} // namespace

QStringList Contract::members()
{
    QStringList names;
    appendSlots(DocumentAdaptor::staticMetaObject, names);
    appendSlots(EntryAdaptor::staticMetaObject, names);
    return names;
}

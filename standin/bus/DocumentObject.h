// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bus/ServedObject.h"

#include <QDBusObjectPath>

// /document, interface vantrel.Document.
class DocumentObject : public ServedObject {
    Q_OBJECT

public:
    DocumentObject(FaultPlan &plan, CallTrace *trace, QObject *parent = nullptr);

    QDBusObjectPath GetCurrentEntry();
};

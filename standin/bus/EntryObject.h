// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bus/ServedObject.h"

#include <QString>

class StandinLogger;

// The entry window on the bus, interface vantrel.Entry. Column numbers and
// mode codes arrive as the contract's 16-bit integers.
class EntryObject : public ServedObject {
    Q_OBJECT

public:
    EntryObject(StandinLogger &logger, FaultPlan &plan, CallTrace *trace, QObject *parent = nullptr);

    QString GetAdifNameN(short column);
    int GetFieldAttributesN(short column);
    QString FieldTitle(short column);
    void ClearEntry();
    void SetFieldN(short column, const QString &text);
    void SetLogFrequencyEx(short mode, double rxKhz, double txKhz, short split);
    void EnterQso();
    int Dupe();

private:
    StandinLogger &m_Logger;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "bus/EntryObject.h"

#include "bus/Contract.h"
#include "logger/Band.h"
#include "logger/StandinLogger.h"
#include "entryadaptor.h"

#include <QDateTime>

EntryObject::EntryObject(StandinLogger &logger, FaultPlan &plan, CallTrace *trace, QObject *parent)
    : ServedObject(plan, trace, parent), m_Logger(logger)
{
    new EntryAdaptor(this);
}

QString EntryObject::GetAdifNameN(short column)
{
    if (!AcceptCall())
        return {};
    return Answer(m_Logger.Columns().AdifName(column));
}

int EntryObject::GetFieldAttributesN(short column)
{
    if (!AcceptCall())
        return 0;
    return Answer(m_Logger.Columns().Attributes(column));
}

QString EntryObject::FieldTitle(short column)
{
    if (!AcceptCall())
        return {};
    return Answer(m_Logger.Columns().Title(column));
}

void EntryObject::ClearEntry()
{
    if (!AcceptCall())
        return;
    m_Logger.ClearEntry();
    Answer();
}

void EntryObject::SetFieldN(short column, const QString &text)
{
    if (!AcceptCall())
        return;
    switch (m_Logger.SetField(column, text)) {
    case StandinLogger::FieldResult::Set:
        Answer();
        break;
    case StandinLogger::FieldResult::NoSuchColumn:
        Refuse(Contract::kBadColumnError, QStringLiteral("Column %1 does not exist; the columns are 1 to %2")
                                              .arg(column)
                                              .arg(m_Logger.Columns().Count()));
        break;
    case StandinLogger::FieldResult::TooLong:
        Refuse(Contract::kValueTooLongError,
               QStringLiteral("Column %1 (%2) takes at most %3 bytes of UTF-8 text; the value has %4")
                   .arg(column)
                   .arg(m_Logger.Columns().AdifName(column))
                   .arg(StandinLogger::kMaxValueBytes)
                   .arg(text.toUtf8().size()));
        break;
    }
}

void EntryObject::SetLogFrequencyEx(short mode, double rxKhz, double txKhz, short split)
{
    if (!AcceptCall())
        return;
    if (!Mode::IsValid(mode)) {
        Refuse(Contract::kBadModeError, QStringLiteral("Mode code %1 is not one of 0 to 6").arg(mode));
        return;
    }
    if (!Band::IsFrequency(rxKhz) || !Band::IsFrequency(txKhz)) {
        Refuse(Contract::kBadFrequencyError, QStringLiteral("Frequencies are finite numbers of kHz, 0 or more; "
                                                            "received %1 (receive) and %2 (transmit)")
                                                 .arg(QString::number(rxKhz), QString::number(txKhz)));
        return;
    }
    m_Logger.SetFrequency(mode, rxKhz, txKhz, split != 0);
    Answer();
}

void EntryObject::EnterQso()
{
    if (!AcceptCall())
        return;
    m_Logger.EnterQso(QDateTime::currentDateTimeUtc());
    Answer();
}

int EntryObject::Dupe()
{
    if (!AcceptCall())
        return 0;
    return Answer(m_Logger.EntryIsDupe() ? 1 : 0);
}

#include "EntryObject.h"

#include "Contract.h"
#include "StandinLogger.h"
#include "entryadaptor.h"

#include <QDateTime>

EntryObject::EntryObject(StandinLogger &logger, FaultPlan &plan, CallTrace *trace, QObject *parent)
    : ServedObject(plan, trace, parent), m_Logger(logger)
{
    new EntryAdaptor(this);
}

QString EntryObject::GetAdifNameN(short column)
{
    if (!acceptCall())
        return {};
    return answer(m_Logger.columns().adifName(column));
}

int EntryObject::GetFieldAttributesN(short column)
{
    if (!acceptCall())
        return 0;
    return answer(m_Logger.columns().attributes(column));
}

QString EntryObject::FieldTitle(short column)
{
    if (!acceptCall())
        return {};
    return answer(m_Logger.columns().title(column));
}

void EntryObject::ClearEntry()
{
    if (!acceptCall())
        return;
    m_Logger.clearEntry();
    answer();
}

void EntryObject::SetFieldN(short column, const QString &text)
{
    if (!acceptCall())
        return;
    if (!m_Logger.setField(column, text)) {
        refuse(Contract::BadColumnError, QString("Column %1 does not exist; the columns are 1 to %2")
                                             .arg(column)
                                             .arg(m_Logger.columns().count()));
        return;
    }
    answer();
}

void EntryObject::SetLogFrequencyEx(short mode, double rxKhz, double txKhz, short split)
{
    if (!acceptCall())
        return;
    if (!Mode::isValid(mode)) {
        refuse(Contract::BadModeError, QString("Mode code %1 is not one of 0 to 6").arg(mode));
        return;
    }
    m_Logger.setFrequency(mode, rxKhz, txKhz, split != 0);
    answer();
}

void EntryObject::EnterQso()
{
    if (!acceptCall())
        return;
    m_Logger.enterQso(QDateTime::currentDateTimeUtc());
    answer();
}

int EntryObject::Dupe()
{
    if (!acceptCall())
        return 0;
    return answer(m_Logger.entryIsDupe() ? 1 : 0);
}

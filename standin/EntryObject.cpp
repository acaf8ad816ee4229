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
    switch (m_Logger.setField(column, text)) {
    case StandinLogger::FieldResult::Set:
        answer();
        break;
    case StandinLogger::FieldResult::NoSuchColumn:
        refuse(Contract::BadColumnError, QString("Column %1 does not exist; the columns are 1 to %2")
                                             .arg(column)
                                             .arg(m_Logger.columns().count()));
        break;
    case StandinLogger::FieldResult::TooLong:
        refuse(Contract::ValueTooLongError,
               QString("Column %1 (%2) takes at most %3 bytes of UTF-8 text; the value has %4")
                   .arg(column)
                   .arg(m_Logger.columns().adifName(column))
                   .arg(StandinLogger::MaxValueBytes)
                   .arg(text.toUtf8().size()));
        break;
    }
}

void EntryObject::SetLogFrequencyEx(short mode, double rxKhz, double txKhz, short split)
{
    if (!acceptCall())
        return;
    if (!Mode::isValid(mode)) {
        refuse(Contract::BadModeError, QString("Mode code %1 is not one of 0 to 6").arg(mode));
        return;
    }
    if (!Band::isFrequency(rxKhz) || !Band::isFrequency(txKhz)) {
        refuse(Contract::BadFrequencyError, QString("Frequencies are finite numbers of kHz, 0 or more; "
                                                    "received %1 (receive) and %2 (transmit)")
                                                .arg(QString::number(rxKhz), QString::number(txKhz)));
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

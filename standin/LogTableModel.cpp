#include "LogTableModel.h"

#include "StandinLogger.h"

namespace {

const QStringList kLeadTitles = {"UTC", "Band", "Mode", "kHz"};
const QStringList kLeadTypicalTexts = {"00:00:00", "1.25cm", "RTTY", "1296200.00"};
const QString kEntryTypicalText = "K1ABC/P";
constexpr int kShownCharacters = 200;

} // namespace

LogTableModel::LogTableModel(const StandinLogger &logger, QObject *parent)
    : QAbstractTableModel(parent), m_Logger(logger), m_Rows(logger.log().count())
{
}

int LogTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_Rows;
}

int LogTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(kLeadTitles.size()) + m_Logger.columns().count();
}

QVariant LogTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return cellText(m_Logger.log().at(index.row()), index.column());
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    if (section < kLeadTitles.size())
        return kLeadTitles[section];
    return m_Logger.columns().title(section - int(kLeadTitles.size()) + 1);
}

void LogTableModel::appendContact()
{
    beginInsertRows(QModelIndex(), m_Rows, m_Rows);
    ++m_Rows;
    endInsertRows();
}

QString LogTableModel::typicalText(int column)
{
    return column < kLeadTypicalTexts.size() ? kLeadTypicalTexts[column] : kEntryTypicalText;
}

QString LogTableModel::kilohertzText(double khz)
{
    return khz > 0 ? QString::number(khz, 'f', 2) : QString("-");
}

QString LogTableModel::shownText(const QString &value)
{
    return value.size() > kShownCharacters ? value.left(kShownCharacters) + QChar(0x2026) : value;
}

QString LogTableModel::cellText(const Contact &contact, int column) const
{
    switch (column) {
    case 0:
        return contact.loggedUtc.isValid() ? contact.loggedUtc.toString("HH:mm:ss") : QString("preload");
    case 1:
        return contact.band.isEmpty() ? QString("?") : contact.band;
    case 2:
        return Mode::label(contact.mode);
    case 3:
        return contact.txKhz > 0 ? kilohertzText(contact.txKhz) : QString();
    default:
        break;
    }
    const int number = column - int(kLeadTitles.size()) + 1;
    if (number <= contact.values.size())
        return shownText(contact.values[number - 1]);
    // A preloaded contact has only its call.
    return m_Logger.columns().adifName(number) == "CALL" ? contact.call : QString();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/LogTableModel.h"

#include "logger/StandinLogger.h"

namespace {

const QStringList kLeadTitles = {QStringLiteral("UTC"), QStringLiteral("Band"), QStringLiteral("Mode"),
                                 QStringLiteral("kHz")};
const QStringList kLeadTypicalTexts = {QStringLiteral("00:00:00"), QStringLiteral("1.25cm"), QStringLiteral("RTTY"),
                                       QStringLiteral("1296200.00")};
const QString kEntryTypicalText = QStringLiteral("K1ABC/P");
constexpr int kShownCharacters = 200;

} // namespace

LogTableModel::LogTableModel(const StandinLogger &logger, QObject *parent)
    : QAbstractTableModel(parent), m_Logger(logger), m_Rows(logger.Log().Count())
{
}

int LogTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_Rows;
}

int LogTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(kLeadTitles.size()) + m_Logger.Columns().Count();
}

QVariant LogTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return CellText(m_Logger.Log().At(index.row()), index.column());
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    if (section < kLeadTitles.size())
        return kLeadTitles[section];
    return m_Logger.Columns().Title(section - int(kLeadTitles.size()) + 1);
}

void LogTableModel::AppendContact()
{
    beginInsertRows(QModelIndex(), m_Rows, m_Rows);
    ++m_Rows;
    endInsertRows();
}

QString LogTableModel::TypicalText(int column)
{
    return column < kLeadTypicalTexts.size() ? kLeadTypicalTexts[column] : kEntryTypicalText;
}

QString LogTableModel::KilohertzText(double khz)
{
    return khz > 0 ? QString::number(khz, 'f', 2) : QStringLiteral("-");
}

QString LogTableModel::ShownText(const QString &value)
{
    return value.size() > kShownCharacters ? value.left(kShownCharacters) + QChar(0x2026) : value;
}

QString LogTableModel::CellText(const Contact &contact, int column) const
{
    switch (column) {
    case 0:
        return contact.loggedUtc.isValid() ? contact.loggedUtc.toString(QStringLiteral("HH:mm:ss"))
                                           : QStringLiteral("preload");
    case 1:
        return contact.band.isEmpty() ? QStringLiteral("?") : contact.band;
    case 2:
        return Mode::Label(contact.mode);
    case 3:
        return contact.txKhz > 0 ? KilohertzText(contact.txKhz) : QString();
    default:
        break;
    }
    const int number = column - int(kLeadTitles.size()) + 1;
    if (number <= contact.values.size())
        return ShownText(contact.values[number - 1]);
    // A preloaded contact has only its call.
    return m_Logger.Columns().AdifName(number) == QLatin1String("CALL") ? contact.call : QString();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>

class StandinLogger;
struct Contact;

// The log as the window's table shows it: the lead columns (UTC, band, mode,
// kHz), then one column per entry column. Contacts are only ever appended, so
// a new one is one inserted row: nothing already shown is looked at again.
class LogTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit LogTableModel(const StandinLogger &logger, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The logger's log has grown by one contact.
    void AppendContact();

    // A text as wide as most values of the column, to size it by.
    static QString TypicalText(int column);
    // A frequency as the window shows it: "14025.00", or "-" for none.
    static QString KilohertzText(double khz);
    // A value as a cell shows it: cut short, since laying out a long text costs
    // time on every repaint and a cell shows only its start anyway.
    static QString ShownText(const QString &value);

private:
    QString CellText(const Contact &contact, int column) const;

    const StandinLogger &m_Logger;
    int m_Rows = 0;
};

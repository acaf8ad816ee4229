#pragma once

#include <QMainWindow>

class LogTableModel;
class QLabel;
class QTableView;
class QTableWidget;
class StandinLogger;

// The logger's window: the entry row on top, the log below. It only shows
// what arrives over the bus; nothing is typed here. Its size constraints are
// set once: a contact changes texts, never the window's layout limits.
class StandinWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit StandinWindow(StandinLogger &logger, QWidget *parent = nullptr);

private slots:
    void logger_EntryChanged();
    void logger_ContactLogged();

private:
    QTableWidget *MakeEntryTable();
    QTableView *MakeLogView();
    QLabel *MakeFixedWidthLabel(const QString &widestText);
    void ShowContactCount();

    StandinLogger &m_Logger;
    LogTableModel *m_LogModel = nullptr;
    QLabel *m_RadioLabel = nullptr;
    QTableWidget *m_EntryTable = nullptr;
    QTableView *m_LogView = nullptr;
    QLabel *m_CountLabel = nullptr;
};

#pragma once

#include <QMainWindow>

class QLabel;
class QTableWidget;
class StandinLogger;
struct Contact;

// The logger's window: the entry row on top, the log below. It only shows
// what arrives over the bus; nothing is typed here.
class StandinWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit StandinWindow(StandinLogger &logger, QWidget *parent = nullptr);

private slots:
    void logger_entryChanged();
    void logger_contactLogged(int index);

private:
    QTableWidget *makeEntryTable();
    QTableWidget *makeLogTable();
    void fitEntryTableHeight();
    void appendLogRow(const Contact &contact);
    void showContactCount();
    QString columnText(const Contact &contact, int column) const;
    static QString kilohertzText(double khz);

    StandinLogger &m_Logger;
    QLabel *m_RadioLabel = nullptr;
    QTableWidget *m_EntryTable = nullptr;
    QTableWidget *m_LogTable = nullptr;
    QLabel *m_CountLabel = nullptr;
};

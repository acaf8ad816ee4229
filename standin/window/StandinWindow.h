// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

class LogTableModel;
class QLabel;
class QTableView;
class QTableWidget;
class QTimer;
class RigctldClient;
class StandinLogger;
class UdpFeed;

// The logger's window: the entry row on top, the log below. It only shows
// what arrives over the bus; nothing is typed here. Its size constraints are
// set once: a contact changes texts, never the window's layout limits.
class StandinWindow : public QMainWindow {
    Q_OBJECT

public:
    // The status bar shows the feed's and the radio's status at most this often:
    // the counts change with every contact.
    static constexpr int kFeedStatusMs = 250;

    // With a feed or a radio, the status bar also tells where contacts go
    // over UDP, how many went out, and how many settings the radio took.
    explicit StandinWindow(StandinLogger &logger, const UdpFeed *feed = nullptr, const RigctldClient *radio = nullptr,
                           QWidget *parent = nullptr);

private slots:
    void logger_EntryChanged();
    void logger_ContactLogged();

private:
    QTableWidget *MakeEntryTable();
    QTableView *MakeLogView();
    QLabel *MakeFixedWidthLabel(const QString &widestText);
    void ShowContactCount();
    void AddFeedLabel();
    void ShowFeedStatus();

    StandinLogger &m_Logger;
    LogTableModel *m_LogModel = nullptr;
    QLabel *m_RadioLabel = nullptr;
    QTableWidget *m_EntryTable = nullptr;
    QTableView *m_LogView = nullptr;
    QLabel *m_CountLabel = nullptr;
    const UdpFeed *m_Feed;
    const RigctldClient *m_Radio;
    QLabel *m_FeedLabel = nullptr;
    QTimer *m_FeedStatusTimer = nullptr;
};

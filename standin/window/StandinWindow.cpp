// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/StandinWindow.h"

#include "feed/RigctldClient.h"
#include "feed/UdpFeed.h"
#include "logger/StandinLogger.h"
#include "window/LogTableModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel *HeadingLabel(const QString &text)
{
    auto *label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// One row height for every row, from the font: no row is ever measured.
void FixRowHeights(QTableView *table)
{
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setWordWrap(false);
}

} // namespace

StandinWindow::StandinWindow(StandinLogger &logger, const UdpFeed *feed, const RigctldClient *radio,
                             QWidget *parent)
    : QMainWindow(parent), m_Logger(logger), m_LogModel(new LogTableModel(logger, this)), m_Feed(feed),
      m_Radio(radio)
{
    setWindowTitle(QStringLiteral("Vantrel (stand-in)"));

    m_RadioLabel = MakeFixedWidthLabel(QStringLiteral("Mode RTTY    Tx 1296200.00    Rx 1296200.00 (split)"));
    m_RadioLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_EntryTable = MakeEntryTable();
    m_LogView = MakeLogView();
    m_CountLabel = MakeFixedWidthLabel(QStringLiteral("999999 contact(s) in the log"));

    auto *entryHeading = new QHBoxLayout;
    entryHeading->addWidget(HeadingLabel(QStringLiteral("Entry")));
    entryHeading->addStretch();
    entryHeading->addWidget(m_RadioLabel);

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(entryHeading);
    layout->addWidget(m_EntryTable);
    layout->addWidget(HeadingLabel(QStringLiteral("Log")));
    layout->addWidget(m_LogView, 1);
    setCentralWidget(central);
    statusBar()->addWidget(m_CountLabel);
    if (m_Feed || m_Radio)
        AddFeedLabel();

    ShowContactCount();
    logger_EntryChanged();

    connect(&m_Logger, &StandinLogger::EntryChanged, this, &StandinWindow::logger_EntryChanged);
    connect(&m_Logger, &StandinLogger::ContactLogged, this, &StandinWindow::logger_ContactLogged);
    resize(900, 420);
}

void StandinWindow::logger_EntryChanged()
{
    const EntryRow &entry = m_Logger.Entry();
    for (int i = 0; i < entry.values.size(); ++i)
        m_EntryTable->item(0, i)->setText(LogTableModel::ShownText(entry.values[i]));

    QString radio = QStringLiteral("Mode %1    Tx %2")
                        .arg(entry.mode == Mode::kNone ? QStringLiteral("-") : Mode::Label(entry.mode),
                             LogTableModel::KilohertzText(entry.txKhz));
    if (entry.split)
        radio += QStringLiteral("    Rx %1 (split)").arg(LogTableModel::KilohertzText(entry.rxKhz));
    m_RadioLabel->setText(radio);
}

void StandinWindow::logger_ContactLogged()
{
    m_LogModel->AppendContact();
    m_LogView->scrollToBottom();
    ShowContactCount();
}

QTableWidget *StandinWindow::MakeEntryTable()
{
    const ColumnSet &columns = m_Logger.Columns();
    auto *table = new QTableWidget(1, columns.Count());
    for (int number = 1; number <= columns.Count(); ++number) {
        table->setHorizontalHeaderItem(number - 1, new QTableWidgetItem(columns.Title(number)));
        auto *item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table->setItem(0, number - 1, item);
    }
    table->verticalHeader()->hide();
    FixRowHeights(table);
    table->horizontalHeader()->setMinimumSectionSize(64);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() + table->rowHeight(0)
                          + 2 * table->frameWidth());
    return table;
}

QTableView *StandinWindow::MakeLogView()
{
    auto *view = new QTableView;
    view->setModel(m_LogModel);
    FixRowHeights(view);
    // Row numbers would be measured again for every new row; the UTC column and the count say enough.
    view->verticalHeader()->hide();
    // Widths are set once, from the titles and typical values; a column is
    // never fitted to its contents again, but can be widened by hand.
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setStretchLastSection(true);
    for (int column = 0; column < m_LogModel->columnCount(); ++column) {
        const QString title = m_LogModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        const QString typical = LogTableModel::TypicalText(column);
        view->setColumnWidth(column, std::max(view->fontMetrics().horizontalAdvance(title),
                                              view->fontMetrics().horizontalAdvance(typical)) + 16);
    }
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAlternatingRowColors(true);
    view->scrollToBottom();
    return view;
}

// A label whose changing text never changes the window's minimum size; a
// change there would be pushed to the window system with every contact.
QLabel *StandinWindow::MakeFixedWidthLabel(const QString &widestText)
{
    auto *label = new QLabel;
    label->setFixedWidth(label->fontMetrics().horizontalAdvance(widestText) + 8);
    return label;
}

// The label's size is fixed, width and height, so that its text, which
// changes with every contact, never has the window laid out again (a widget
// of one fixed size does not ask its layout for room); its tool tip shows
// the whole text, a destination a line.
void StandinWindow::AddFeedLabel()
{
    constexpr int kShownCharacters = 90; // with the count, within the window's first width
    m_FeedLabel = new QLabel;
    m_FeedLabel->setFixedSize(m_FeedLabel->fontMetrics().averageCharWidth() * kShownCharacters,
                              m_FeedLabel->fontMetrics().height());
    statusBar()->addWidget(m_FeedLabel);
    m_FeedStatusTimer = new QTimer(this);
    m_FeedStatusTimer->setSingleShot(true);
    m_FeedStatusTimer->setInterval(kFeedStatusMs);
    connect(m_FeedStatusTimer, &QTimer::timeout, this, &StandinWindow::ShowFeedStatus);
    const auto showSoon = [this] {
        if (!m_FeedStatusTimer->isActive())
            m_FeedStatusTimer->start();
    };
    if (m_Feed)
        connect(m_Feed, &UdpFeed::StatusChanged, this, showSoon);
    if (m_Radio)
        connect(m_Radio, &RigctldClient::StatusChanged, this, showSoon);
    ShowFeedStatus();
}

void StandinWindow::ShowFeedStatus()
{
    QStringList parts;
    if (m_Feed && !m_Feed->StatusText().isEmpty())
        parts.append(m_Feed->StatusText());
    if (m_Radio)
        parts.append(m_Radio->StatusText());
    const QString text = parts.join(QStringLiteral(" · "));
    m_FeedLabel->setText(text);
    m_FeedLabel->setToolTip(QString(text).replace(QStringLiteral(" · "), QStringLiteral("\n")));
}

void StandinWindow::ShowContactCount()
{
    m_CountLabel->setText(QStringLiteral("%1 contact(s) in the log").arg(m_Logger.Log().Count()));
}

#include "StandinWindow.h"

#include "StandinLogger.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Log columns before the entry columns.
const QStringList kLogLeadTitles = {"UTC", "Band", "Mode", "kHz"};

QLabel *headingLabel(const QString &text)
{
    auto *label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

StandinWindow::StandinWindow(StandinLogger &logger, QWidget *parent)
    : QMainWindow(parent), m_Logger(logger)
{
    setWindowTitle("Vantrel (stand-in)");

    m_RadioLabel = new QLabel;
    m_EntryTable = makeEntryTable();
    m_LogTable = makeLogTable();
    m_CountLabel = new QLabel;

    auto *entryHeading = new QHBoxLayout;
    entryHeading->addWidget(headingLabel("Entry"));
    entryHeading->addStretch();
    entryHeading->addWidget(m_RadioLabel);

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(entryHeading);
    layout->addWidget(m_EntryTable);
    layout->addWidget(headingLabel("Log"));
    layout->addWidget(m_LogTable, 1);
    setCentralWidget(central);
    statusBar()->addWidget(m_CountLabel);

    for (int i = 0; i < m_Logger.log().count(); ++i)
        appendLogRow(m_Logger.log().at(i));
    showContactCount();
    logger_entryChanged();

    connect(&m_Logger, &StandinLogger::entryChanged, this, &StandinWindow::logger_entryChanged);
    connect(&m_Logger, &StandinLogger::contactLogged, this, &StandinWindow::logger_contactLogged);
    resize(900, 420);
}

void StandinWindow::logger_entryChanged()
{
    const EntryRow &entry = m_Logger.entry();
    for (int i = 0; i < entry.values.size(); ++i)
        m_EntryTable->setItem(0, i, readOnlyItem(entry.values[i]));
    fitEntryTableHeight();

    QString radio = QString("Mode %1    Tx %2")
                        .arg(entry.mode == Mode::None ? QString("-") : Mode::label(entry.mode),
                             kilohertzText(entry.txKhz));
    if (entry.split)
        radio += QString("    Rx %1 (split)").arg(kilohertzText(entry.rxKhz));
    m_RadioLabel->setText(radio);
}

void StandinWindow::logger_contactLogged(int index)
{
    appendLogRow(m_Logger.log().at(index));
    m_LogTable->scrollToBottom();
    showContactCount();
}

QTableWidget *StandinWindow::makeEntryTable()
{
    const ColumnSet &columns = m_Logger.columns();
    auto *table = new QTableWidget(1, columns.count());
    for (int number = 1; number <= columns.count(); ++number)
        table->setHorizontalHeaderItem(number - 1, new QTableWidgetItem(columns.title(number)));
    table->verticalHeader()->hide();
    table->horizontalHeader()->setMinimumSectionSize(64);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return table;
}

QTableWidget *StandinWindow::makeLogTable()
{
    const ColumnSet &columns = m_Logger.columns();
    QStringList titles = kLogLeadTitles;
    for (int number = 1; number <= columns.count(); ++number)
        titles.append(columns.title(number));

    auto *table = new QTableWidget(0, int(titles.size()));
    table->setHorizontalHeaderLabels(titles);
    table->verticalHeader()->setDefaultSectionSize(table->verticalHeader()->minimumSectionSize() + 4);
    table->horizontalHeader()->setMinimumSectionSize(56);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setAlternatingRowColors(true);
    return table;
}

void StandinWindow::fitEntryTableHeight()
{
    const int height = m_EntryTable->horizontalHeader()->sizeHint().height() + m_EntryTable->rowHeight(0)
        + 2 * m_EntryTable->frameWidth();
    if (m_EntryTable->maximumHeight() != height)
        m_EntryTable->setFixedHeight(height);
}

void StandinWindow::appendLogRow(const Contact &contact)
{
    const int row = m_LogTable->rowCount();
    m_LogTable->insertRow(row);

    const QString utc = contact.loggedUtc.isValid() ? contact.loggedUtc.toString("HH:mm:ss") : QString("preload");
    const QStringList lead = {utc, contact.band.isEmpty() ? QString("?") : contact.band, Mode::label(contact.mode),
                              contact.txKhz > 0 ? kilohertzText(contact.txKhz) : QString()};
    for (int i = 0; i < lead.size(); ++i)
        m_LogTable->setItem(row, i, readOnlyItem(lead[i]));

    for (int number = 1; number <= m_Logger.columns().count(); ++number)
        m_LogTable->setItem(row, int(lead.size()) + number - 1, readOnlyItem(columnText(contact, number)));
}

void StandinWindow::showContactCount()
{
    m_CountLabel->setText(QString("%1 contact(s) in the log").arg(m_Logger.log().count()));
}

QString StandinWindow::columnText(const Contact &contact, int column) const
{
    if (column <= contact.values.size())
        return contact.values[column - 1];
    // A preloaded contact has only its call.
    return m_Logger.columns().adifName(column) == "CALL" ? contact.call : QString();
}

QString StandinWindow::kilohertzText(double khz)
{
    return khz > 0 ? QString::number(khz, 'f', 2) : QString("-");
}

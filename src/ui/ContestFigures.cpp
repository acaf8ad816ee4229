// SPDX-License-Identifier: GPL-3.0-or-later
#include "ContestFigures.h"

#include <QGridLayout>
#include <QLabel>
#include <QLocale>

namespace {

// Figures are written the same way everywhere: "1,204".
QString Number(int32_t n)
{
    static const QLocale english(QLocale::English);
    return english.toString(n);
}

QString PerHour(std::optional<int32_t> rate) { return rate ? Number(*rate) : QStringLiteral("–"); }

} // namespace

ContestFigures::ContestFigures(QWidget *parent) : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    m_Time = AddFigure(QStringLiteral("Contest time:"), QStringLiteral("Contest time"), QStringLiteral("lblContestTime"));
    m_Logged = AddFigure(QStringLiteral("Logged:"), QStringLiteral("Logged"), QStringLiteral("lblLogged"));
    m_Rate = AddFigure(QStringLiteral("Rate:"), QStringLiteral("Rate"), QStringLiteral("lblRate"));
    // The rates always take their two lines, shown or not, so that the layout stays put.
    m_Rate->setMinimumHeight(2 * fontMetrics().lineSpacing());
}

QLabel *ContestFigures::AddFigure(const QString &caption, const QString &name, const QString &objectName)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    const int row = grid->rowCount() - (grid->count() == 0 ? 1 : 0);
    auto *captionLabel = new QLabel(caption, this);
    captionLabel->setTextFormat(Qt::PlainText);
    captionLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *figure = new QLabel(this);
    figure->setObjectName(objectName);
    figure->setTextFormat(Qt::PlainText);
    figure->setAccessibleName(name);
    figure->setTextInteractionFlags(Qt::NoTextInteraction);
    figure->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(captionLabel, row, 0);
    grid->addWidget(figure, row, 1);
    return figure;
}

// The description is the shown text on one line.
void ContestFigures::Show(QLabel *figure, const QString &text)
{
    if (figure->text() == text)
        return;
    figure->setText(text);
    figure->setAccessibleDescription(QString(text).replace(QLatin1Char('\n'), QStringLiteral(" · ")));
}

void ContestFigures::ShowTime(const QString &time) { Show(m_Time, time); }

void ContestFigures::ShowLogged(int32_t logged, int32_t total)
{
    Show(m_Logged, QStringLiteral("%1 of %2").arg(Number(logged), Number(total)));
}

void ContestFigures::ShowRates(std::optional<int32_t> last10, std::optional<int32_t> last100, int32_t lastHour)
{
    // Two lines, so that rates of four digits still fit the window's width.
    Show(m_Rate, QStringLiteral("%1/h last 10 · %2/h last 100\n%3 in the last 60 min")
                     .arg(PerHour(last10), PerHour(last100), Number(lastHour)));
}

void ContestFigures::Clear()
{
    for (QLabel *figure : {m_Time, m_Logged, m_Rate})
        Show(figure, QString());
}

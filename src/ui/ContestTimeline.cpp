// SPDX-License-Identifier: GPL-3.0-or-later
#include "ContestTimeline.h"

#include "ContestTime.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kHourDays = 1.0 / 24.0;
constexpr int kTickHeight = 3;
// The hours between two labels, the least that leaves room for them.
constexpr int kLabelSteps[] = {1, 2, 3, 6, 12, 24, 48, 168, 336, 720, 2160, 8760};

// "14Z" for an hour, "03-30" for midnight (the new day).
QString HourLabel(double hour)
{
    const QString text = ContestTime::HourText(hour); // "2025-03-30 14:00Z"
    const QString clock = text.mid(11, 2);
    return clock == QLatin1String("00") ? text.mid(5, 5) : clock + QLatin1Char('Z');
}

} // namespace

ContestTimeline::ContestTimeline(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ContestTimeline::SetBins(const ContestStatistics::Timeline &bins)
{
    m_Bins = bins;
    m_Playhead = bins.Start;
    update();
}

void ContestTimeline::SetPlayhead(double moment)
{
    const int before = XOf(m_Playhead);
    m_Playhead = moment;
    const int after = XOf(moment);
    if (after == before)
        return;
    // The bars between the two places change their shade too.
    const QRect bars = BarArea();
    update(QRect(QPoint(std::min(before, after) - 1, bars.top()), QPoint(std::max(before, after) + 1, bars.bottom())));
}

void ContestTimeline::SetClickable(bool clickable)
{
    m_Clickable = clickable;
    setCursor(clickable ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

QSize ContestTimeline::sizeHint() const { return {300, minimumSizeHint().height()}; }

QSize ContestTimeline::minimumSizeHint() const
{
    return {100, 4 * fontMetrics().height() + kTickHeight + fontMetrics().height()};
}

QRect ContestTimeline::BarArea() const
{
    return rect().adjusted(1, 1, -1, -(fontMetrics().height() + kTickHeight + 1));
}

double ContestTimeline::Span() const { return m_Bins.BinDays * double(m_Bins.Counts.size()); }

int ContestTimeline::XOf(double moment) const
{
    const QRect bars = BarArea();
    if (Span() <= 0)
        return bars.left();
    const double share = std::clamp((moment - m_Bins.Start) / Span(), 0.0, 1.0);
    return bars.left() + int(std::lround(share * (bars.width() - 1)));
}

double ContestTimeline::MomentAt(int x) const
{
    const QRect bars = BarArea();
    const double share = std::clamp(double(x - bars.left()) / std::max(1, bars.width() - 1), 0.0, 1.0);
    return m_Bins.Start + share * Span();
}

void ContestTimeline::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().mid().color());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect bars = BarArea();
    if (m_Bins.Counts.empty() || m_Bins.Highest <= 0)
        return;

    // Each pixel column draws the highest bin that falls in it, so that a
    // busy 10 minutes shows at any width.
    const QColor done = palette().highlight().color();
    QColor ahead = done;
    ahead.setAlphaF(0.35);
    const int playhead = XOf(m_Playhead);
    const double binsPerPixel = double(m_Bins.Counts.size()) / bars.width();
    for (int column = 0; column < bars.width(); ++column) {
        const auto first = size_t(column * binsPerPixel);
        const auto last = std::max(first + 1, size_t((column + 1) * binsPerPixel));
        int32_t count = 0;
        for (size_t bin = first; bin < std::min(last, m_Bins.Counts.size()); ++bin)
            count = std::max(count, m_Bins.Counts[bin]);
        if (count == 0)
            continue;
        const int height = std::max(1, int(std::lround(double(count) * bars.height() / m_Bins.Highest)));
        const int x = bars.left() + column;
        painter.fillRect(x, bars.bottom() - height + 1, 1, height, x <= playhead ? done : ahead);
    }
    DrawHours(painter, bars);

    painter.setPen(QPen(palette().text().color(), 1));
    painter.drawLine(playhead, bars.top(), playhead, bars.bottom());
}

// A tick under each hour, with labels as far apart as their width needs.
void ContestTimeline::DrawHours(QPainter &painter, const QRect &bars)
{
    const double pixelsPerHour = bars.width() * kHourDays / Span();
    const int room = fontMetrics().horizontalAdvance(QStringLiteral("00-00")) + fontMetrics().averageCharWidth() * 2;
    int labelStep = kLabelSteps[std::size(kLabelSteps) - 1];
    for (int step : kLabelSteps) {
        if (step * pixelsPerHour >= room) {
            labelStep = step;
            break;
        }
    }
    const bool everyHourTicked = pixelsPerHour >= 3;
    const double firstHour = std::ceil(m_Bins.Start / kHourDays - 1e-9);
    const double lastHour = (m_Bins.Start + Span()) / kHourDays;
    painter.setPen(palette().text().color());
    for (double hour = firstHour; hour <= lastHour; hour += 1) {
        const auto hourNumber = static_cast<int64_t>(hour);
        const bool labelled = ((hourNumber % labelStep) + labelStep) % labelStep == 0;
        if (!labelled && !everyHourTicked)
            continue;
        const int x = XOf(hour * kHourDays);
        painter.drawLine(x, bars.bottom() + 1, x, bars.bottom() + (labelled ? kTickHeight : 1));
        if (!labelled)
            continue;
        const QString label = HourLabel(hour * kHourDays);
        const int width = fontMetrics().horizontalAdvance(label);
        const int left = std::clamp(x - width / 2, 1, this->width() - width - 1);
        painter.drawText(QRect(left, bars.bottom() + kTickHeight + 1, width, fontMetrics().height()), Qt::AlignCenter,
                         label);
    }
}

void ContestTimeline::mousePressEvent(QMouseEvent *event)
{
    if (m_Clickable && event->button() == Qt::LeftButton && !m_Bins.Counts.empty())
        emit MomentClicked(MomentAt(event->position().toPoint().x()));
    QWidget::mousePressEvent(event);
}

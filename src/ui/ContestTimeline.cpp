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
// One colour a band, lowest band first; more bands than colours draw in one colour.
const QColor kBandColours[] = {QColor(0x8c, 0x56, 0x4b), QColor(0x94, 0x67, 0xbd), QColor(0x1f, 0x77, 0xb4),
                               QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x7e, 0x0e), QColor(0xd6, 0x27, 0x28)};
constexpr double kAheadAlpha = 0.35;

QColor Ahead(QColor colour)
{
    colour.setAlphaF(kAheadAlpha);
    return colour;
}

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

void ContestTimeline::SetBins(const ContestStatistics::Timeline &bins, const QStringList &bandNames)
{
    m_Bins = bins;
    m_BandNames = bandNames;
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
    const int playhead = XOf(m_Playhead);
    const double binsPerPixel = double(m_Bins.Counts.size()) / bars.width();
    for (int column = 0; column < bars.width(); ++column) {
        const auto first = size_t(column * binsPerPixel);
        const auto last = std::min(std::max(first + 1, size_t((column + 1) * binsPerPixel)), m_Bins.Counts.size());
        size_t highest = first;
        for (size_t bin = first; bin < last; ++bin)
            if (m_Bins.Counts[bin] > m_Bins.Counts[highest])
                highest = bin;
        if (highest >= m_Bins.Counts.size() || m_Bins.Counts[highest] == 0)
            continue;
        const int x = bars.left() + column;
        DrawBar(painter, x, highest, bars.bottom(), bars.height(), x <= playhead);
    }
    DrawHours(painter, bars);
    if (ByBand())
        DrawBandNames(painter, bars);

    painter.setPen(QPen(palette().text().color(), 1));
    painter.drawLine(playhead, bars.top(), playhead, bars.bottom());
}

bool ContestTimeline::ByBand() const
{
    const size_t bands = m_Bins.Bands.size();
    return bands >= 2 && bands <= std::size(kBandColours) && m_BandNames.size() == qsizetype(bands);
}

// One bin's bar, from the bottom up: its bands lowest first, then the
// contacts of no known band.
void ContestTimeline::DrawBar(QPainter &painter, int x, size_t bin, int bottom, int height, bool done)
{
    const auto top = [&](int32_t count) { return bottom + 1 - int(std::lround(double(count) * height / m_Bins.Highest)); };
    const int32_t count = m_Bins.Counts[bin];
    const int barTop = std::min(top(count), bottom); // at least a pixel
    if (!ByBand()) {
        const QColor colour = palette().highlight().color();
        painter.fillRect(x, barTop, 1, bottom + 1 - barTop, done ? colour : Ahead(colour));
        return;
    }
    const size_t bands = m_Bins.Bands.size();
    int32_t below = 0;
    int y = bottom + 1;
    for (size_t band = 0; band < bands; ++band) {
        below += m_Bins.BandCounts[bin * bands + band];
        const int bandTop = top(below);
        painter.fillRect(x, bandTop, 1, y - bandTop, done ? kBandColours[band] : Ahead(kBandColours[band]));
        y = bandTop;
    }
    if (y > barTop)
        painter.fillRect(x, barTop, 1, y - barTop, done ? palette().mid().color() : Ahead(palette().mid().color()));
}

// The bands' names in their colours, in the strip's top right corner.
void ContestTimeline::DrawBandNames(QPainter &painter, const QRect &bars)
{
    const int gap = fontMetrics().averageCharWidth();
    int right = bars.right() - gap;
    for (qsizetype band = m_BandNames.size() - 1; band >= 0; --band) {
        const int width = fontMetrics().horizontalAdvance(m_BandNames[band]);
        const QRect place(right - width, bars.top(), width, fontMetrics().height());
        QColor behind = palette().base().color();
        behind.setAlphaF(0.8); // the bars still show through, the names read
        painter.fillRect(place.adjusted(-gap / 2, 0, gap / 2, 0), behind);
        painter.setPen(kBandColours[band]);
        painter.drawText(place, Qt::AlignCenter, m_BandNames[band]);
        right -= width + gap;
    }
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

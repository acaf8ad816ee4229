// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ContestStatistics.h"

#include <QWidget>

// A strip across the main window that draws a whole contest: a bar for the
// contacts of each 10 minutes of contest time (from ContestStatistics), in
// a colour for each band when the log has two to six bands (named in the
// corner), the hours marked below, and a playhead at the replay position;
// the bars behind the playhead are drawn full, those ahead of it lighter.
// While clickable, a click chooses a moment of the contest.
class ContestTimeline : public QWidget {
    Q_OBJECT
public:
    explicit ContestTimeline(QWidget *parent = nullptr);

    // The contest to draw, with the names of its bins' bands; empty bins
    // draw an empty strip.
    void SetBins(const ContestStatistics::Timeline &bins, const QStringList &bandNames);
    // Moves the playhead to moment (days); repaints only what moved.
    void SetPlayhead(double moment);
    void SetClickable(bool clickable);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The user clicked the strip at moment (days), while it was clickable.
    void MomentClicked(double moment);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QRect BarArea() const;
    double Span() const; // days from the first bin's start to the last bin's end
    int XOf(double moment) const;
    double MomentAt(int x) const;
    void DrawHours(QPainter &painter, const QRect &bars);
    void DrawBar(QPainter &painter, int x, size_t bin, int bottom, int height, bool done);
    void DrawBandNames(QPainter &painter, const QRect &bars);
    bool ByBand() const;

    ContestStatistics::Timeline m_Bins;
    QStringList m_BandNames;
    double m_Playhead = 0;
    bool m_Clickable = false;
};

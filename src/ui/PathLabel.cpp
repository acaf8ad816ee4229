// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathLabel.h"

#include <QPainter>
#include <QTextLayout>

namespace {

const QChar kEllipsis(0x2026);

// Where the file name starts: after the last folder separator.
qsizetype FileNameStart(const QString &path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
}

// The largest n in [0, limit] for which fits(n) holds, given that it holds
// for all smaller n; -1 when it holds for none.
template <typename F>
qsizetype Largest(qsizetype limit, F fits)
{
    qsizetype low = -1;
    qsizetype high = limit;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

} // namespace

void PathLabel::SetPath(const QString &path)
{
    setText(path);
    setToolTip(path);
    setAccessibleName(path.isEmpty() ? QStringLiteral("No file chosen") : path);
}

QStringList PathLabel::Wrap(const QString &text, QTextOption::WrapMode mode) const
{
    QTextLayout layout(text, font());
    QTextOption option;
    option.setWrapMode(mode);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(LineWidth());
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines;
}

int PathLabel::LineWidth() const { return contentsRect().width() - 2 * margin(); }

int PathLabel::MaxLines() const
{
    return std::max(1, (contentsRect().height() - 2 * margin()) / fontMetrics().lineSpacing());
}

QStringList PathLabel::ShownLines() const
{
    const QString path = text();
    const QStringList whole = Wrap(path, QTextOption::WrapAtWordBoundaryOrAnywhere);
    if (whole.size() <= MaxLines())
        return whole;

    const qsizetype nameStart = FileNameStart(path);
    const QString fileName = path.mid(nameStart);
    const QStringList nameLines = Wrap(fileName, QTextOption::WrapAnywhere);
    if (nameLines.size() < MaxLines())
        return QStringList{fontMetrics().elidedText(path.left(nameStart), Qt::ElideMiddle, LineWidth())} + nameLines;

    const qsizetype tail = Largest(fileName.size(), [&](qsizetype n) {
        return Wrap(kEllipsis + fileName.right(n), QTextOption::WrapAnywhere).size() <= MaxLines();
    });
    return Wrap(kEllipsis + fileName.right(std::max<qsizetype>(tail, 0)), QTextOption::WrapAnywhere);
}

void PathLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    int y = area.top();
    for (const QString &line : ShownLines()) {
        painter.drawText(QRect(area.left(), y, area.width(), fontMetrics().lineSpacing()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
        y += fontMetrics().lineSpacing();
    }
}

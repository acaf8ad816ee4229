// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QTextOption>

// A label for a file's full path in a small fixed box. The path wraps after
// its folder separators (or anywhere inside a long name). When the box cannot
// hold it all, the folder takes one line, shortened in its middle, and the
// file name the lines below; a file name too long for the box shows its end.
// text() is always the whole path.
class PathLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // Shows path, names it in the tool tip, and names the label by it for
    // assistive technology ("No file chosen" for an empty path).
    void SetPath(const QString &path);

    // What the box shows of text, one entry a line.
    QStringList ShownLines() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList Wrap(const QString &text, QTextOption::WrapMode mode) const;
    int MaxLines() const;
    int LineWidth() const;
};

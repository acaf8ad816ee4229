// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A label that shows a count (or nothing) and tells assistive technology
// each time the count changes, so that a screen reader can follow it: its
// accessible value is the count, its accessible name says what is counted.
class CountLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // Shows text (a whole number, or empty for no count) and announces it.
    void SetCount(const QString &text);
};

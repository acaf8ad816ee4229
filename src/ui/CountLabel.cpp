// SPDX-License-Identifier: GPL-3.0-or-later
#include "CountLabel.h"

#include <QAccessible>

void CountLabel::SetCount(const QString &text)
{
    if (text == this->text())
        return;
    setText(text);
    QAccessibleValueChangeEvent event(this, text.toInt());
    QAccessible::updateAccessibility(&event);
}

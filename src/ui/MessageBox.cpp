// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageBox.h"

#include "TestHook.h"

#include <QMessageBox>

namespace MessageBox {

void SetHook(Hook hook) { TestHook<Hook>() = std::move(hook); }

void Show(QWidget *owner, const QString &text, const QString &caption)
{
    if (TestHook<Hook>()) {
        TestHook<Hook>()(text, caption);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace MessageBox

// SPDX-License-Identifier: GPL-3.0-or-later
#include "Modal.h"

#include "TestHook.h"

#include <QDialog>

namespace Modal {

void SetHook(Hook hook) { TestHook<Hook>() = std::move(hook); }

int Exec(QDialog &dialog)
{
    if (!TestHook<Hook>())
        return dialog.exec();
    dialog.show();
    TestHook<Hook>()(dialog);
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}

} // namespace Modal

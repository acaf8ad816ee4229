// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QDialog;

// Shows a dialog modally over its owner and returns when it is closed.
namespace Modal {

int Exec(QDialog &dialog);

// Tests take the dialog instead: it is shown without a modal loop of its
// own, the hook works it as a user would, and it is closed afterwards if
// the hook left it open.
using Hook = std::function<void(QDialog &dialog)>;
void SetHook(Hook hook);

} // namespace Modal

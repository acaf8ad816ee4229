// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Program.h"

#include <QString>
#include <functional>

class QWidget;

// A message box with a single OK button; returns when the user has closed it.
namespace MessageBox {

void Show(QWidget *owner, const QString &text, const QString &caption = Program::kTitle);

// Tests take the message instead of a box being shown.
using Hook = std::function<void(const QString &text, const QString &caption)>;
void SetHook(Hook hook);

} // namespace MessageBox

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

// What the program shows of itself: its title and its icon (32 x 32, 16 colours),
// shared by its windows, its message boxes and its desktop entry.
namespace Program {

inline const QString kTitle = QStringLiteral("Ardenix");

QIcon Icon();

} // namespace Program

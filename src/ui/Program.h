// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

// What the program shows of itself: its title and its icon (32 x 32, 16 colours),
// shared by its windows, its message boxes and its desktop entry.
namespace Program {

inline const QString kTitle = QStringLiteral("Ardenix");

// The desktop entry's id (packaging/org.example.ardenix.desktop), by which
// the desktop ties the running program to its entry and icon.
inline const QString kDesktopFileId = QStringLiteral("org.example.ardenix");

QIcon Icon();

} // namespace Program

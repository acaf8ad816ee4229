// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// One run of a program of the build, on the test's bus, to its end.
struct ProgramRun {
    int status = -1; // -1 when it crashed or did not end within a minute
    QString out;
    QString err;
};

// Runs program with the arguments, on Qt's offscreen platform, or with no
// display at all (no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM).
ProgramRun RunProgram(const QString &program, const QStringList &arguments, bool display = true);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RuntimeError.h"

#include <functional>

// Every event handler is entered through Guarded(). An error that escapes a
// handler is shown in the top-level error report (a message box naming the
// error) and ends the program with a non-zero exit status. Nothing else
// catches errors, save the lookup of the running logger. The program ends
// through its event loop (the application's exec() returns the status), so
// destructors run; from then on no guarded handler runs.
namespace ErrorGuard {

using Reporter = std::function<void(const RuntimeError &)>;

// Runs handler; an error of any kind that escapes it is reported. While a
// report is showing, and once the program is ending, every other guarded
// handler returns at once.
void Guarded(const std::function<void()> &handler);

// True while the report of an unhandled error is showing.
bool Reporting();

// The exit status that an unhandled error ends the program with.
constexpr int kFatalExitStatus = 3;

// The exit status of an unattended run that found no logger running.
constexpr int kNotRunningExitStatus = 1;

// In an unattended run (ardenix --quit-at-end) no one is there to close a
// message box: the report goes to standard error alone, and a message that
// would end a command ends the program through EndUnattended instead.
void SetUnattended(bool unattended);
bool Unattended();

// Writes text to standard error and ends the program with exitStatus.
void EndUnattended(const QString &text, int exitStatus);

// Tests replace the report and the exit with their own reporter; passing an
// empty function restores the message box and exit.
void SetReporter(Reporter reporter);

// Text of the top-level error report.
QString ReportText(const RuntimeError &error);

} // namespace ErrorGuard

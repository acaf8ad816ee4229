// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorGuard.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace ErrorGuard {

namespace {

Reporter &CurrentReporter()
{
    static Reporter reporter;
    return reporter;
}

// Set while the report of an unhandled error is on screen. The report's
// message box runs an event loop, so timer events and clicks still arrive;
// they must not run their handlers, or a failed playback would go on
// logging contacts before the program ends.
bool g_Reporting = false;

// Set for a run that no one watches: the report shows no message box.
bool g_Unattended = false;

[[noreturn]] void ReportAndExit(const RuntimeError &error)
{
    const QString text = ReportText(error);
    std::fprintf(stderr, "%s\n", qPrintable(text));
    if (!g_Unattended && qobject_cast<QApplication *>(QCoreApplication::instance()))
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(), text);
    std::exit(kFatalExitStatus);
}

} // namespace

QString ReportText(const RuntimeError &error)
{
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(error.number()).arg(error.description());
}

void SetUnattended(bool unattended) { g_Unattended = unattended; }

bool Unattended() { return g_Unattended; }

void EndUnattended(const QString &text, int exitStatus)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::exit(exitStatus);
}

void SetReporter(Reporter reporter) { CurrentReporter() = std::move(reporter); }

bool Reporting() { return g_Reporting; }

void Guarded(const std::function<void()> &handler)
{
    if (g_Reporting)
        return;
    RuntimeError failure(0, QString());
    try {
        handler();
        return;
    } catch (const RuntimeError &error) {
        failure = error;
    } catch (const std::bad_alloc &) {
        failure = RuntimeError(7, QStringLiteral("Out of memory"));
    } catch (const std::exception &error) {
        failure = RuntimeError(51, QStringLiteral("Internal error: %1").arg(QString::fromUtf8(error.what())));
    } catch (...) {
        failure = RuntimeError(51, QStringLiteral("Internal error: an unknown exception"));
    }
    g_Reporting = true;
    if (CurrentReporter())
        CurrentReporter()(failure);
    else
        ReportAndExit(failure);
    g_Reporting = false;
}

} // namespace ErrorGuard

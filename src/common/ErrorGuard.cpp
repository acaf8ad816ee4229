// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorGuard.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

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

// Set once the program is ending: no guarded handler runs any more.
bool g_Ending = false;

// Set for a run that no one watches: the report shows no message box.
bool g_Unattended = false;

// Ends the program through its event loop: the handler in hand returns, and
// then the loop, or the one that starts next, ends with exitStatus, so that
// every destructor runs and what was sent goes out.
void End(int exitStatus)
{
    g_Ending = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [exitStatus] { QCoreApplication::exit(exitStatus); }, Qt::QueuedConnection);
}

void ReportAndEnd(const RuntimeError &error)
{
    const QString text = ReportText(error);
    std::fprintf(stderr, "%s\n", qPrintable(text));
    if (!g_Unattended && qobject_cast<QApplication *>(QCoreApplication::instance()))
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(), text);
    End(kFatalExitStatus);
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
    End(exitStatus);
}

void SetReporter(Reporter reporter) { CurrentReporter() = std::move(reporter); }

bool Reporting() { return g_Reporting; }

void Guarded(const std::function<void()> &handler)
{
    if (g_Reporting || g_Ending)
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
        ReportAndEnd(failure);
    g_Reporting = false;
}

} // namespace ErrorGuard

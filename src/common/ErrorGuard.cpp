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

[[noreturn]] void ReportAndExit(const RuntimeError &error)
{
    const QString text = ReportText(error);
    std::fprintf(stderr, "%s\n", qPrintable(text));
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(), text);
    std::exit(kFatalExitStatus);
}

} // namespace

QString ReportText(const RuntimeError &error)
{
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(error.number()).arg(error.description());
}

void SetReporter(Reporter reporter) { CurrentReporter() = std::move(reporter); }

void Guarded(const std::function<void()> &handler)
{
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
    }
    if (CurrentReporter())
        CurrentReporter()(failure);
    else
        ReportAndExit(failure);
}

} // namespace ErrorGuard

// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"
#include "ErrorGuard.h"
#include "Program.h"
#include "frmArdenix.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

const char kProgramName[] = "ardenix";
const char kLicence[] = "License GPL-3.0-or-later";

// The arguments as given, before any application object exists.
QStringList Arguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Prints what the command line asked for instead of a run (help, the
// version, or why it cannot be acted on) and answers the exit status; an
// empty answer for a run.
std::optional<int> Answered(const CommandLine::Reading &reading)
{
    switch (reading.Asked) {
    case CommandLine::Reading::Request::Run:
        return std::nullopt;
    case CommandLine::Reading::Request::Help:
        std::fputs(qPrintable(reading.Text), stdout);
        return 0;
    case CommandLine::Reading::Request::Version:
        std::printf("%s %s\n%s\n", kProgramName, ARDENIX_VERSION, kLicence);
        return 0;
    case CommandLine::Reading::Request::Error:
        std::fprintf(stderr, "%s: %s (see --help)\n", kProgramName, qPrintable(reading.Text));
        return CommandLine::kUsageExitStatus;
    }
    return std::nullopt;
}

// A script follows the replay line by line, so each line goes out at once.
void PrintContactLine(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setApplicationName(QString::fromLatin1(kProgramName));
    QCoreApplication::setApplicationVersion(QStringLiteral(ARDENIX_VERSION));
    // Help, the version and a bad value are answered before the window
    // system is reached, so they need no display. An unknown option may be
    // one of Qt's own, which the application object takes away first.
    const CommandLine::Reading early = CommandLine::Read(Arguments(argc, argv));
    if (!early.UnknownOption) {
        if (const std::optional<int> status = Answered(early))
            return *status;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(Program::kTitle);
    QApplication::setWindowIcon(Program::Icon());
    QGuiApplication::setDesktopFileName(Program::kDesktopFileId);

    const CommandLine::Reading reading = CommandLine::Read(QCoreApplication::arguments());
    if (const std::optional<int> status = Answered(reading))
        return *status;
    const StartOptions options = reading.Options;

    ErrorGuard::SetUnattended(options.QuitAtEnd);
    frmArdenix window;
    bool reachedEnd = false;
    if (options.QuitAtEnd) {
        QObject::connect(&window, &frmArdenix::ContactLogged, &PrintContactLine);
        QObject::connect(&window, &frmArdenix::PlaybackEnded, &app, [&reachedEnd] {
            reachedEnd = true;
            QCoreApplication::quit();
        });
    }
    window.show();
    // Once the window is up, so that a message about the file shows over it.
    QTimer::singleShot(0, &window, [&window, &options] { window.Start(options); });
    const int status = app.exec();
    // A script waiting for the whole replay must not take a closed window for its end.
    if (options.QuitAtEnd && !reachedEnd && status == 0) {
        std::fprintf(stderr, "%s: the window was closed before the end of the file\n", kProgramName);
        return ErrorGuard::kFatalExitStatus;
    }
    return status;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "Program.h"
#include "frmArdenix.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

namespace {

const QString kLicence = QStringLiteral("License GPL-3.0-or-later");

QCommandLineOption VersionOption()
{
    return QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                              QStringLiteral("Print the version and licence and exit."));
}

void AddOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Replays an ADIF contact log into a running Vantrel contest logger over D-Bus."));
    parser.addHelpOption();
    parser.addOption(VersionOption());
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The ADIF file to replay, chosen as if with \"...\"."),
                                 QStringLiteral("[FILE]"));
}

// The arguments as given, before any application object exists.
QStringList Arguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// --help and --version print and end the program before the window system
// is reached, so they need no display. Answers whether one of them was given.
bool PrintedHelpOrVersion(int argc, char **argv)
{
    QCommandLineParser parser;
    AddOptions(parser);
    parser.parse(Arguments(argc, argv)); // errors are reported once the application exists
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return true;
    }
    if (parser.isSet(VersionOption())) {
        std::printf("%s %s\n%s\n", qPrintable(QCoreApplication::applicationName()), ARDENIX_VERSION,
                    qPrintable(kLicence));
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("ardenix"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ARDENIX_VERSION));
    if (PrintedHelpOrVersion(argc, argv))
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(Program::kTitle);
    QApplication::setWindowIcon(Program::Icon());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.ardenix"));

    QCommandLineParser parser;
    AddOptions(parser);
    parser.process(app);

    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fprintf(stderr, "ardenix: one FILE at most (see --help)\n");
        return 1;
    }
    frmArdenix window;
    window.show();
    if (!files.isEmpty()) {
        // Once the window is up, so that a message about the file shows over it.
        QTimer::singleShot(0, &window, [&window, file = files.first()] { window.ChooseFile(file); });
    }
    return app.exec();
}

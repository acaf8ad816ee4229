// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorGuard.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstring>

// Run with --raise-in-guard, the program raises Overflow inside a guarded
// handler of its event loop with the real report in place, which must end
// the process through the loop.
static const char kChildFlag[] = "--raise-in-guard";

class TestErrorGuard : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ErrorGuard::SetReporter({}); }

    void handlerWithoutErrorRunsToTheEnd()
    {
        int reports = 0;
        ErrorGuard::SetReporter([&](const RuntimeError &) { ++reports; });
        bool ran = false;
        ErrorGuard::Guarded([&] { ran = true; });
        QVERIFY(ran);
        QCOMPARE(reports, 0);
    }

    void errorEndsTheHandlerAndIsReported()
    {
        QList<int> numbers;
        ErrorGuard::SetReporter([&](const RuntimeError &e) { numbers << e.number(); });
        bool reachedAfterError = false;
        ErrorGuard::Guarded([&] {
            throw RuntimeError::KeyExists();
            reachedAfterError = true;
        });
        ErrorGuard::Guarded([] { throw std::runtime_error("boom"); });
        ErrorGuard::Guarded([] { throw 42; });
        QVERIFY(!reachedAfterError);
        QCOMPARE(numbers, (QList<int>{457, 51, 51}));
    }

    void noHandlerRunsWhileTheReportIsShowing()
    {
        bool nestedRan = false;
        ErrorGuard::SetReporter([&](const RuntimeError &) {
            // As a timer event that the report's message box lets through.
            ErrorGuard::Guarded([&] { nestedRan = true; });
            QVERIFY(ErrorGuard::Reporting());
        });
        ErrorGuard::Guarded([] { throw RuntimeError::Overflow(); });
        QVERIFY(!nestedRan);
        QVERIFY(!ErrorGuard::Reporting());
    }

    void reportNamesTheError()
    {
        const QString text = ErrorGuard::ReportText(RuntimeError::Automation(QStringLiteral("SetFieldN: gone")));
        QVERIFY2(text.contains(QStringLiteral("440")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Automation error: SetFieldN: gone")), qPrintable(text));
    }

    // The program ends with its destructors run, and no handler after the failure.
    void unhandledErrorEndsTheProgramWithNonZeroStatus()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kChildFlag)});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), ErrorGuard::kFatalExitStatus);
        QVERIFY(child.readAllStandardError().contains("Run-time error '6'"));
        QCOMPARE(child.readAllStandardOutput(), QByteArray("destroyed\n"));
    }
};

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], kChildFlag) == 0) {
        QCoreApplication app(argc, argv);
        struct Goodbye {
            ~Goodbye() { std::puts("destroyed"); }
        } goodbye;
        QTimer::singleShot(0, [] { ErrorGuard::Guarded([] { throw RuntimeError::Overflow(); }); });
        QTimer::singleShot(0, [] { ErrorGuard::Guarded([] { std::puts("a handler after the failure"); }); });
        return app.exec();
    }
    QCoreApplication app(argc, argv);
    TestErrorGuard test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorguard.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>

#include <memory>

// The start-up the benchmarks share: the application object, standard output
// written line by line (each figure shows as soon as it is known), and the
// options, read by QCommandLineParser so that --help lists them. A wrong
// option or value prints what is wrong and the usage; main() then returns
// kUsageExit.
class BenchStart {
public:
    static constexpr int kUsageExit = 2;

    enum class Kind {
        Console, // a QCoreApplication
        Window,  // a QApplication for Ardenix's window, offscreen when there is no display
    };

    BenchStart(int &argc, char **argv, Kind kind, const QString &description);
    ~BenchStart();

    // --NAME VALUE: a whole number of at least `lowest`, defaultValue when not given.
    void AddNumber(const QString &name, const QString &help, int defaultValue, int lowest = 1);
    // --NAME VALUE: a text, defaultValue when not given.
    void AddText(const QString &name, const QString &valueName, const QString &help, const QString &defaultValue);
    // --NAME alone.
    void AddFlag(const QString &name, const QString &help);
    // One argument that is not an option, which may be left out.
    void AddArgument(const QString &name, const QString &help);

    // Reads the arguments; false, after saying why on standard error, when they are wrong.
    bool Parse();
    // Says on standard error why options that parsed do not go together; returns false.
    bool Refuse(const QString &problem) const;

    int Number(const QString &name) const;
    QString Text(const QString &name) const { return m_Parser.value(name); }
    bool IsSet(const QString &name) const { return m_Parser.isSet(name); }
    // The argument that is not an option; empty when it was left out.
    QString Argument() const { return m_Parser.positionalArguments().value(0); }

private:
    struct NumberLimit {
        QString name;
        int lowest;
    };

    std::unique_ptr<QCoreApplication> m_App;
    QCommandLineParser m_Parser;
    QList<NumberLimit> m_Numbers;
    qsizetype m_Arguments = 0; // how many arguments that are not options are taken
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

// One station of a multi-transmitter log, replayed on this machine: a
// session bus of its own (dbus-daemon), a stand-in logger on it, and an
// Ardenix that replays the station's contacts into that logger. Every line
// the programs print comes out prefixed by the station's name.
class Station : public QObject {
    Q_OBJECT

public:
    // How the station's programs are started; the same for every station.
    struct Setup {
        QString Ardenix;        // the programs' paths
        QString Standin;
        QString Log;            // the log, and the options every Ardenix gets
        QStringList ArdenixOptions;
        QStringList StandinOptions; // the feeds every stand-in sends to
        QString TraceDir;       // where each stand-in writes its trace and log; empty for none
        bool Windows = false;   // windows on the display, or none
    };

    // transmitter is the station's transmitter number, empty for a log
    // replayed whole; index its place (0, 1, ...), which gives its Tlf node
    // letter (C, D, ...) and where its windows stand.
    Station(const Setup &setup, const QString &transmitter, int index, QObject *parent = nullptr);
    ~Station() override;

    QString Name() const { return m_Name; }

    // Starts the bus and the stand-in on it; false, with Failure() set, when
    // they do not come up.
    bool StartLogger();
    // Waits until the stand-in owns its name on the bus; false, with
    // Failure() set, when it does not within the time given.
    bool WaitForLogger(int timeoutMs);
    // Starts Ardenix, which presses "Go" at goAt (HH:MM:SS).
    void StartReplay(const QString &goAt);

    // Ends every program of the station: Ardenix, then the stand-in (which
    // sends what it still holds), then the bus.
    void Stop();

    bool Finished() const { return m_Finished; }
    QString Failure() const { return m_Failure; }

signals:
    // Ardenix reached the end of the station's contacts.
    void ReachedEnd();
    // A program of the station failed; Failure() says which and how.
    void Failed();

private:
    void Forward(QProcess &process, QProcess::ProcessChannel channel, QByteArray &pending);
    void Fail(const QString &failure);
    void ReplayEnded(int status, QProcess::ExitStatus how);
    void LoggerEnded(int status, QProcess::ExitStatus how);
    QProcessEnvironment Environment() const;
    QStringList StandinArguments(int index) const;
    QString TitledAfter(const QString &program) const;

    Setup m_Setup;
    QString m_Transmitter;
    QString m_Name;        // "station 0", or "all" for a log replayed whole
    QString m_FileName;    // "station-0", for files and the WSJT-X client id
    int m_Index;
    QString m_BusAddress;
    QProcess m_Bus;
    QProcess m_Standin;
    QProcess m_Ardenix;
    QByteArray m_PendingOut, m_PendingErr, m_PendingLoggerErr;
    QString m_LastArdenixError;
    bool m_Stopping = false;
    bool m_Finished = false;
    QString m_Failure;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/RigctldCommands.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QTcpSocket;
class QTimer;

// Moves a radio through Hamlib's rigctld over one kept TCP connection, as
// the logger's frequency and mode are set (it follows the logger's
// FrequencySet). A radio takes tens of milliseconds per command, so settings
// may come faster than it follows: only the newest waits, and the ones in
// between are skipped. Nothing here waits: commands and answers go through
// the event loop, so a call on the bus never waits for the radio. An answer
// other than "RPRT 0", no answer, or no rigctld at all is reported once per
// problem, on standard error and in the status text; while rigctld is away
// the client tries again every second and, back, sets the newest setting.
class RigctldClient : public QObject {
    Q_OBJECT

public:
    // Longer than rigctld's own waits on a slow radio.
    static constexpr int kAnswerMs = 5000;
    static constexpr int kRetryMs = 1000;
    // A peer that sends this much without a line break is no rigctld.
    static constexpr int kMaxAnswerBytes = 4096;

    RigctldClient(const QString &host, quint16 port, QObject *parent = nullptr);

    // The radio is to follow this setting.
    void Follow(const RadioSetting &setting);

    // Connects to rigctld.
    void Start();

    // "rigctld HOST:PORT: N set", and the problem while there is one.
    QString StatusText() const;

signals:
    void StatusChanged();

private:
    void Connect();
    void Connected();
    void SendNewest();
    void SendNextCommand();
    void ReadAnswers();
    void Lost(const QString &problem);
    void Report(const QString &problem);

    const QString m_Host;
    const quint16 m_Port;
    QTcpSocket *m_Socket;
    QTimer *m_AnswerTimer;
    QTimer *m_RetryTimer;

    std::optional<RadioSetting> m_Newest;  // the setting to send when the radio is free

    std::optional<RadioSetting> m_Sending; // the setting whose commands are going out
    QList<QByteArray> m_Commands;          // its commands still to send
    QByteArray m_Awaiting;                 // the command sent, until its answer comes
    bool m_SettingFailed = false;          // a command of m_Sending was refused
    int m_Set = 0;                         // settings the radio took in full
    QString m_Problem;                     // while rigctld is away or failing
    QStringList m_Reported;                // each problem told once
};

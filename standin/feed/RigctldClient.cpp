// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/RigctldClient.h"

#include "feed/SocketProblem.h"

#include <QTcpSocket>
#include <QTimer>

#include <cstdio>

RigctldClient::RigctldClient(const QString &host, quint16 port, QObject *parent)
    : QObject(parent), m_Host(host), m_Port(port), m_Socket(new QTcpSocket(this)), m_AnswerTimer(new QTimer(this)),
      m_RetryTimer(new QTimer(this))
{
    m_AnswerTimer->setSingleShot(true);
    m_AnswerTimer->setInterval(kAnswerMs);
    connect(m_AnswerTimer, &QTimer::timeout, this, [this] {
        // The answer may have come while a --delay held up the event loop: a read takes it.
        if (!m_Socket->waitForReadyRead(0))
            Lost(QStringLiteral("no answer within %1 s").arg(kAnswerMs / 1000));
    });
    m_RetryTimer->setSingleShot(true);
    m_RetryTimer->setInterval(kRetryMs);
    connect(m_RetryTimer, &QTimer::timeout, this, &RigctldClient::Connect);
    connect(m_Socket, &QTcpSocket::connected, this, &RigctldClient::Connected);
    connect(m_Socket, &QTcpSocket::readyRead, this, &RigctldClient::ReadAnswers);
    connect(m_Socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        Lost(DescribeSocketProblem(error, m_Socket->errorString()));
    });
}

void RigctldClient::Follow(const RadioSetting &setting)
{
    m_Newest = setting;
    SendNewest();
}

void RigctldClient::Start()
{
    Connect();
}

QString RigctldClient::StatusText() const
{
    QString text = QStringLiteral("rigctld %1:%2: %3 set").arg(m_Host).arg(m_Port).arg(m_Set);
    if (!m_Problem.isEmpty())
        text += QStringLiteral(" (%1)").arg(m_Problem);
    return text;
}

void RigctldClient::Connect()
{
    if (m_Socket->state() == QAbstractSocket::UnconnectedState)
        m_Socket->connectToHost(m_Host, m_Port);
}

void RigctldClient::Connected()
{
    m_Problem.clear();
    emit StatusChanged();
    SendNewest();
}

// Waits for the setting on its way and for a connection; then takes the newest.
void RigctldClient::SendNewest()
{
    if (m_Sending || m_Socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_Sending.swap(m_Newest);
    if (!m_Sending)
        return;
    m_Commands = RigctldCommands::For(*m_Sending);
    m_SettingFailed = false;
    SendNextCommand();
}

// One command at a time: each waits for its answer.
void RigctldClient::SendNextCommand()
{
    if (m_Commands.isEmpty()) {
        if (!m_SettingFailed) {
            ++m_Set;
            m_Problem.clear();
        }
        m_Sending.reset();
        emit StatusChanged();
        SendNewest();
        return;
    }
    m_Awaiting = m_Commands.takeFirst();
    m_Socket->write(m_Awaiting);
    m_AnswerTimer->start();
}

// A failing command is told, and the next goes on: a radio without RTTY
// still takes the frequency.
void RigctldClient::ReadAnswers()
{
    while (m_Socket->canReadLine()) {
        const QByteArray answer = m_Socket->readLine().trimmed();
        if (m_Awaiting.isEmpty())
            continue; // nothing was asked
        m_AnswerTimer->stop();
        if (!RigctldCommands::IsSuccess(answer)) {
            m_SettingFailed = true;
            m_Problem = QStringLiteral("answered \"%1\" to %2")
                            .arg(QString::fromLatin1(answer.left(80)), QString::fromLatin1(m_Awaiting.left(1)));
            Report(m_Problem);
        }
        m_Awaiting.clear();
        SendNextCommand();
    }
    if (m_Socket->bytesAvailable() > kMaxAnswerBytes)
        Lost(QStringLiteral("the answers are not rigctld's"));
}

// The setting that was going out waits again, unless a newer one came meanwhile.
void RigctldClient::Lost(const QString &problem)
{
    m_AnswerTimer->stop();
    if (m_Sending && !m_Newest)
        m_Newest = m_Sending;
    m_Sending.reset();
    m_Commands.clear();
    m_Awaiting.clear();
    m_Socket->abort();
    m_Problem = problem;
    Report(problem);
    emit StatusChanged();
    m_RetryTimer->start();
}

void RigctldClient::Report(const QString &problem)
{
    if (m_Reported.contains(problem))
        return;
    m_Reported.append(problem);
    std::fprintf(stderr, "vantrel-standin: rigctld %s:%u: %s; contacts are still logged\n", qPrintable(m_Host),
                 unsigned(m_Port), qPrintable(problem));
}

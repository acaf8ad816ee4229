// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AdifRecord.h"
#include "DrivenWindow.h"
#include "ErrorGuard.h"
#include "StandinProcess.h"
#include "WriteFile.h"
#include "frmFieldEdit.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

// One call that reached the logger, from the stand-in's trace.
struct LoggerCall {
    QString member;
    QJsonArray args;
};

// The main window on a private session bus, driven as a user drives it (see
// DrivenWindow), with the stand-in program as its logger, writing a trace,
// and a folder for the test's files. A warning that a binding of the
// windows' layouts names no such slot or signal fails the test.
class ArdenixHarness : public DrivenWindow {
public:
    ArdenixHarness();

    // Starts the stand-in logger with its trace and the given options.
    bool StartLogger(const QStringList &options = {});
    void StopLogger() { m_Logger.reset(); }

    QString WriteTestFile(const QString &name, const QByteArray &bytes);
    QString WriteLog(const QByteArray &records, const QString &name = QStringLiteral("test.adi"));

    // The logger started, a log of these records chosen, "Go" pressed and
    // the first timer event raised: the first record is logged.
    bool StartPlayback(const QByteArray &records, int speed = 0);

    // Every call the logger has received so far, in order.
    QList<LoggerCall> Calls() const;
    QStringList Members() const;
    int CountOf(const QString &member) const { return Members().count(member); }
    // The call sign of each contact the logger logged: the text last sent to
    // column 1 before each EnterQso, since the last ClearEntry.
    QStringList Logged() const;
    // The calls after the first n.
    QList<LoggerCall> CallsAfter(qsizetype n) const { return Calls().mid(n); }

private:
    QString TracePath() const { return m_Dir.filePath(QStringLiteral("trace.jsonl")); }

    QTemporaryDir m_Dir;
    std::unique_ptr<StandinProcess> m_Logger;
};

// The rows of a list, as shown.
QStringList Rows(const QListWidget *list);

// A mouse click on a row, scrolled into view first as a user would.
void ClickRow(QListWidget *list, int row);

int SelectedRow(const QListWidget *list);

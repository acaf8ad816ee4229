// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArdenixHarness.h"

#include "StandinTrace.h"

#include <QRegularExpression>

ArdenixHarness::ArdenixHarness()
{
    // A misspelt <connection> of a .ui file is only a warning when the window is made.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^QObject::connect: No such (slot|signal) ")));
}

bool ArdenixHarness::StartLogger(const QStringList &options)
{
    m_Logger.reset();
    m_Logger = std::make_unique<StandinProcess>(QStringList{QStringLiteral("--trace"), TracePath()} + options);
    return m_Logger->WaitForName();
}

QString ArdenixHarness::WriteTestFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_Dir.filePath(name);
    return WriteFile(path, bytes) ? path : QString();
}

QString ArdenixHarness::WriteLog(const QByteArray &records, const QString &name)
{
    return WriteTestFile(name, "Test log\n<ADIF_VER:5>3.1.7 <EOH>\n" + records);
}

bool ArdenixHarness::StartPlayback(const QByteArray &records, int speed)
{
    if (!StartLogger())
        return false;
    ChooseFile(WriteLog(records));
    SetSpeed(speed);
    Click("btnGo");
    return Tick();
}

QList<LoggerCall> ArdenixHarness::Calls() const
{
    QList<LoggerCall> calls;
    for (const QJsonObject &object : ReadTrace(TracePath()))
        calls.push_back({object.value(QStringLiteral("member")).toString(),
                         object.value(QStringLiteral("args")).toArray()});
    return calls;
}

QStringList ArdenixHarness::Members() const
{
    QStringList members;
    for (const LoggerCall &call : Calls())
        members << call.member;
    return members;
}

QStringList ArdenixHarness::Logged() const
{
    QStringList logged;
    QString call;
    for (const LoggerCall &c : Calls()) {
        if (c.member == QLatin1String("ClearEntry"))
            call.clear();
        else if (c.member == QLatin1String("SetFieldN") && c.args.at(0).toInt() == 1)
            call = c.args.at(1).toString();
        else if (c.member == QLatin1String("EnterQso"))
            logged << call;
    }
    return logged;
}

QStringList Rows(const QListWidget *list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

void ClickRow(QListWidget *list, int row)
{
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

int SelectedRow(const QListWidget *list)
{
    const QList<QListWidgetItem *> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

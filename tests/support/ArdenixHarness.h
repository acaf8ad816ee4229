#pragma once

#include "CommonDialog.h"
#include "ErrorGuard.h"
#include "MessageBox.h"
#include "Modal.h"
#include "StandinProcess.h"
#include "WriteFile.h"
#include "frmArdenix.h"
#include "frmFieldEdit.h"

#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <memory>
#include <optional>

// One ADIF field as a log writes it: <NAME:bytes>value.
inline QByteArray AdifField(const QByteArray &name, const QByteArray &value)
{
    return "<" + name + ":" + QByteArray::number(value.size()) + ">" + value + " ";
}

// A contact record; extra fields follow the usual ones.
inline QByteArray AdifRecord(const QByteArray &call, const QByteArray &date, const QByteArray &time,
                             const QByteArray &mode = "CW", const QByteArray &freq = "7.025",
                             const QByteArray &extra = {})
{
    return AdifField("CALL", call) + AdifField("QSO_DATE", date) + AdifField("TIME_ON", time)
        + AdifField("MODE", mode) + AdifField("FREQ", freq) + extra + "<EOR>\n";
}

// One call that reached the logger, from the stand-in's trace.
struct LoggerCall {
    QString member;
    QJsonArray args;
};

// The main window on a private session bus, driven as a user drives it:
// the logger is the stand-in program with its trace, the file dialog and the
// message box are answered in advance, and the top-level error report is
// recorded instead of ending the test. Timer events are raised by Tick(),
// never by waiting.
class ArdenixHarness {
public:
    ArdenixHarness()
    {
        MessageBox::SetHook([this](const QString &text, const QString &caption) {
            m_Messages << caption + QStringLiteral(": ") + text;
        });
        CommonDialog::SetOpenHook([this](const CommonDialog &dialog) {
            m_LastDialog = dialog;
            std::optional<QString> answer;
            if (!m_FileAnswers.empty()) {
                answer = m_FileAnswers.front();
                m_FileAnswers.pop_front();
            }
            return answer;
        });
        Modal::SetHook([this](QDialog &dialog) {
            ++m_DialogsOpened;
            if (m_OnDialog)
                m_OnDialog(static_cast<frmFieldEdit &>(dialog));
        });
        ErrorGuard::SetReporter([this](const RuntimeError &error) {
            m_Errors << error;
            if (m_OnReport)
                m_OnReport();
        });
    }

    ~ArdenixHarness()
    {
        m_Window.reset();
        MessageBox::SetHook({});
        CommonDialog::SetOpenHook({});
        Modal::SetHook({});
        ErrorGuard::SetReporter({});
    }

    // Starts the stand-in logger with its trace and the given options.
    bool StartLogger(const QStringList &options = {})
    {
        m_Logger.reset();
        m_Logger = std::make_unique<StandinProcess>(QStringList{QStringLiteral("--trace"), TracePath()} + options);
        return m_Logger->WaitForName();
    }
    void StopLogger() { m_Logger.reset(); }

    frmArdenix &Window()
    {
        if (!m_Window) {
            m_Window = std::make_unique<frmArdenix>();
            m_Window->show();
        }
        return *m_Window;
    }

    QString WriteTestFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_Dir.filePath(name);
        return WriteFile(path, bytes) ? path : QString();
    }
    QString WriteLog(const QByteArray &records, const QString &name = QStringLiteral("test.adi"))
    {
        return WriteTestFile(name, "Test log\n<ADIF_VER:5>3.1.7 <EOH>\n" + records);
    }

    // The logger started, a log of these records chosen, "Go" pressed and
    // the first timer event raised: the first record is logged.
    bool StartPlayback(const QByteArray &records, int speed = 0)
    {
        if (!StartLogger())
            return false;
        ChooseFile(WriteLog(records));
        SetSpeed(speed);
        Click("btnGo");
        return Tick();
    }

    // "..." answered with a path, or cancelled when path is empty.
    void ChooseFile(const std::optional<QString> &path)
    {
        m_FileAnswers.push_back(path);
        Click("cmdBrowseFile");
    }

    template <typename T = QPushButton>
    T *Control(const char *name) { return Window().findChild<T *>(QString::fromLatin1(name)); }
    QPushButton *Button(const char *name) { return Control<QPushButton>(name); }
    QTimer *Timer() { return Control<QTimer>("Timer1"); }
    QString Countdown() { return Control<QLabel>("lblCountdown")->text(); }
    void SetSpeed(int position) { Control<QComboBox>("cmbPlaybackSpeed")->setCurrentIndex(position); }

    // A mouse click; a disabled button ignores it, as it would a user's.
    void Click(const char *name) { QTest::mouseClick(Button(name), Qt::LeftButton); }

    // One event of the playback timer; false when the timer is off.
    bool Tick()
    {
        if (!Timer()->isActive())
            return false;
        QMetaObject::invokeMethod(Timer(), "timeout");
        return true;
    }

    // Every call the logger has received so far, in order.
    QList<LoggerCall> Calls() const
    {
        QList<LoggerCall> calls;
        QFile file(TracePath());
        if (!file.open(QIODevice::ReadOnly))
            return calls;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.trimmed().isEmpty())
                continue;
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            calls.push_back({object.value(QStringLiteral("member")).toString(),
                             object.value(QStringLiteral("args")).toArray()});
        }
        return calls;
    }
    QStringList Members() const
    {
        QStringList members;
        for (const LoggerCall &call : Calls())
            members << call.member;
        return members;
    }
    int CountOf(const QString &member) const { return Members().count(member); }
    // The calls after the first n.
    QList<LoggerCall> CallsAfter(qsizetype n) const { return Calls().mid(n); }

    const QStringList &Messages() const { return m_Messages; }
    const QList<RuntimeError> &Errors() const { return m_Errors; }
    const CommonDialog &LastDialog() const { return m_LastDialog; }
    // Works the mapping dialog while it is open ("Customize Fields...").
    void OnDialog(std::function<void(frmFieldEdit &)> action) { m_OnDialog = std::move(action); }
    int DialogsOpened() const { return m_DialogsOpened; }

    // Runs while the error report is showing, as a timer event or click would.
    void OnReport(std::function<void()> action) { m_OnReport = std::move(action); }

private:
    QString TracePath() const { return m_Dir.filePath(QStringLiteral("trace.jsonl")); }

    QTemporaryDir m_Dir;
    std::unique_ptr<StandinProcess> m_Logger;
    std::unique_ptr<frmArdenix> m_Window;
    std::deque<std::optional<QString>> m_FileAnswers;
    QStringList m_Messages;
    QList<RuntimeError> m_Errors;
    CommonDialog m_LastDialog;
    std::function<void()> m_OnReport;
    std::function<void(frmFieldEdit &)> m_OnDialog;
    int m_DialogsOpened = 0;
};

// The rows of a list, as shown.
inline QStringList Rows(const QListWidget *list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

// A mouse click on a row, scrolled into view first as a user would.
inline void ClickRow(QListWidget *list, int row)
{
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

inline int SelectedRow(const QListWidget *list)
{
    const QList<QListWidgetItem *> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

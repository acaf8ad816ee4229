// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommonDialog.h"
#include "RuntimeError.h"
#include "frmArdenix.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class frmFieldEdit;

// Called before the QApplication is made: without a display, Ardenix's
// window is made offscreen.
void OffscreenWithoutDisplay();

// Ardenix's main window, shown and driven in this process as a user drives
// it: the file dialog is answered in advance, the mapping dialog is worked
// by a given action (or closed at once), and a message box or the top-level
// error report is kept instead of being shown. Timer events are raised by
// the caller, never by waiting. The tests' harness adds the logger and its
// trace; the benchmarks start their logger themselves.
class DrivenWindow {
public:
    static constexpr int kFivePerSecond = 4; // the position of "5/sec" in the speed list

    DrivenWindow();
    ~DrivenWindow();

    DrivenWindow(const DrivenWindow &) = delete;
    DrivenWindow &operator=(const DrivenWindow &) = delete;

    // Made and shown on first use.
    frmArdenix &Window();

    template <typename T = QPushButton>
    T *Control(const char *name) { return Window().findChild<T *>(QString::fromLatin1(name)); }
    QPushButton *Button(const char *name) { return Control<QPushButton>(name); }
    QTimer *Timer() { return Control<QTimer>("Timer1"); }
    QString Countdown() { return Control<QLabel>("lblCountdown")->text(); }
    void SetSpeed(int position) { Control<QComboBox>("cmbPlaybackSpeed")->setCurrentIndex(position); }

    // A mouse click; a disabled button ignores it, as it would a user's.
    void Click(const char *name);

    // "..." answered with a path, or cancelled when path is empty.
    void ChooseFile(const std::optional<QString> &path);

    // One event of the playback timer; false when the timer is off.
    bool Tick();
    // The timer's event raised whether the timer is on or not: one log step,
    // for a benchmark that stops the timer and raises its events itself.
    void RaiseTimeout();

    const QStringList &Messages() const { return m_Messages; }
    const QList<RuntimeError> &Errors() const { return m_Errors; }
    // False, with what the window reported on standard error, once it has
    // shown a message or an error.
    bool Ok() const;

    const CommonDialog &LastDialog() const { return m_LastDialog; }
    // Works the mapping dialog while it is open ("Customize Fields...").
    void OnDialog(std::function<void(frmFieldEdit &)> action) { m_OnDialog = std::move(action); }
    int DialogsOpened() const { return m_DialogsOpened; }

    // Runs while the error report is showing, as a timer event or click would.
    void OnReport(std::function<void()> action) { m_OnReport = std::move(action); }

private:
    std::unique_ptr<frmArdenix> m_Window;
    std::deque<std::optional<QString>> m_FileAnswers;
    QStringList m_Messages;
    QList<RuntimeError> m_Errors;
    CommonDialog m_LastDialog;
    std::function<void()> m_OnReport;
    std::function<void(frmFieldEdit &)> m_OnDialog;
    int m_DialogsOpened = 0;
};

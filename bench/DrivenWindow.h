#pragma once

#include "CommonDialog.h"
#include "ErrorGuard.h"
#include "MessageBox.h"
#include "frmArdenix.h"

#include <QComboBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <optional>

// Called before the QApplication is made: without a display, Ardenix's
// window is made offscreen.
inline void OffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Ardenix's main window, shown and driven in this process as a benchmark
// drives it: the file dialog is answered with the path given, timer events
// are raised by the caller, and a message box or the top-level error report
// is kept as text instead of being shown (the benchmark then stops with it).
class DrivenWindow {
public:
    static constexpr int kFivePerSecond = 4; // the position of "5/sec" in the speed list

    DrivenWindow()
    {
        MessageBox::SetHook([this](const QString &text, const QString &) { m_Failures << text; });
        ErrorGuard::SetReporter([this](const RuntimeError &error) { m_Failures << ErrorGuard::ReportText(error); });
        m_Window.show();
    }

    ~DrivenWindow()
    {
        CommonDialog::SetOpenHook({});
        MessageBox::SetHook({});
        ErrorGuard::SetReporter({});
    }

    // "..." pressed and the file dialog answered with path.
    void Choose(const QString &path)
    {
        CommonDialog::SetOpenHook([path](const CommonDialog &) { return std::optional<QString>(path); });
        Click("cmdBrowseFile");
    }

    void Click(const char *button) { m_Window.findChild<QPushButton *>(QString::fromLatin1(button))->click(); }
    bool IsEnabled(const char *button) { return m_Window.findChild<QPushButton *>(QString::fromLatin1(button))->isEnabled(); }
    void SetSpeed(int position) { m_Window.findChild<QComboBox *>(QStringLiteral("cmbPlaybackSpeed"))->setCurrentIndex(position); }
    QTimer *Timer() { return m_Window.findChild<QTimer *>(QStringLiteral("Timer1")); }

    // One event of the playback timer, raised directly: one log step.
    void Tick() { QMetaObject::invokeMethod(Timer(), "timeout"); }

    // False, with what the window reported on standard error, once it has
    // shown a message or an error.
    bool Ok() const
    {
        for (const QString &failure : m_Failures)
            std::fprintf(stderr, "Ardenix reported: %s\n", qPrintable(failure));
        return m_Failures.isEmpty();
    }

private:
    frmArdenix m_Window;
    QStringList m_Failures;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "DrivenWindow.h"

#include "ErrorGuard.h"
#include "MessageBox.h"
#include "Modal.h"
#include "frmFieldEdit.h"

#include <QTest>
#include <cstdio>

void OffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

DrivenWindow::DrivenWindow()
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

DrivenWindow::~DrivenWindow()
{
    m_Window.reset();
    MessageBox::SetHook({});
    CommonDialog::SetOpenHook({});
    Modal::SetHook({});
    ErrorGuard::SetReporter({});
}

frmArdenix &DrivenWindow::Window()
{
    if (!m_Window) {
        m_Window = std::make_unique<frmArdenix>();
        m_Window->show();
    }
    return *m_Window;
}

void DrivenWindow::Click(const char *name) { QTest::mouseClick(Button(name), Qt::LeftButton); }

void DrivenWindow::ChooseFile(const std::optional<QString> &path)
{
    m_FileAnswers.push_back(path);
    Click("cmdBrowseFile");
}

bool DrivenWindow::Tick()
{
    if (!Timer()->isActive())
        return false;
    RaiseTimeout();
    return true;
}

void DrivenWindow::RaiseTimeout() { QMetaObject::invokeMethod(Timer(), "timeout"); }

bool DrivenWindow::Ok() const
{
    for (const QString &message : m_Messages)
        std::fprintf(stderr, "Ardenix reported: %s\n", qPrintable(message));
    for (const RuntimeError &error : m_Errors)
        std::fprintf(stderr, "Ardenix reported: %s\n", qPrintable(ErrorGuard::ReportText(error)));
    return m_Messages.isEmpty() && m_Errors.isEmpty();
}

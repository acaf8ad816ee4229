// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommonDialog.h"

#include "TestHook.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

// One pattern of a filter string ("*.adi;*.adx") in Qt's form.
QString QtPatterns(const QString &patterns)
{
    QStringList result;
    for (const QString &pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        result << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    return result.join(QLatin1Char(' '));
}

} // namespace

void CommonDialog::SetOpenHook(OpenHook hook) { TestHook<CommonDialog::OpenHook>() = std::move(hook); }

QStringList CommonDialog::NameFilters() const
{
    // The description is shown as it stands; Qt hides the patterns that it
    // matches with (HideNameFilterDetails), which sit in the last parentheses.
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], QtPatterns(parts[i + 1]));
    return filters;
}

void CommonDialog::ShowOpen(QWidget *owner)
{
    if (TestHook<CommonDialog::OpenHook>()) {
        if (const std::optional<QString> chosen = TestHook<CommonDialog::OpenHook>()(*this))
            FileName = *chosen;
        return;
    }
    QFileDialog dialog(owner);
    SetUp(dialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        FileName = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

void CommonDialog::SetUp(QFileDialog &dialog) const
{
    // Qt's own dialog, not the desktop's: it matches patterns without regard
    // to letter case, as the filter's authors expect, and behaves alike everywhere.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((Flags & kFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = NameFilters();
    dialog.setNameFilters(filters);
    if (FilterIndex >= 1 && FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[FilterIndex - 1]);
    // It opens where the last choice was made, else in the working folder.
    if (FileName.isEmpty()) {
        dialog.setDirectory(QDir::currentPath());
    } else {
        dialog.setDirectory(QFileInfo(FileName).absolutePath());
        dialog.selectFile(QFileInfo(FileName).fileName());
    }
}

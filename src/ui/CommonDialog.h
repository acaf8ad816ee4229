// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

class QFileDialog;
class QWidget;

// The file-open dialog control: a filter string of "description|pattern|..."
// pairs, the filter shown first (counted from 1), the open-file flags, and
// the chosen file's full path. ShowOpen() shows Qt's own file dialog; a
// cancel leaves FileName as it was.
class CommonDialog {
public:
    // Open-file flags as the filter's callers give them.
    static constexpr int32_t kFileMustExist = 0x1000;
    static constexpr int32_t kHideReadOnly = 0x4;

    QString Filter;
    int16_t FilterIndex = 0;
    int32_t Flags = 0;
    QString FileName;

    void ShowOpen(QWidget *owner);

    // How ShowOpen sets up Qt's dialog before showing it.
    void SetUp(QFileDialog &dialog) const;

    // The filter string as Qt name filters. Patterns match as a Windows
    // filter does: "*.*" is every file, and letter case does not count.
    QStringList NameFilters() const;

    // Tests answer the dialog in advance: the hook gets the dialog as set up
    // and returns the chosen path, or nothing for a cancel.
    using OpenHook = std::function<std::optional<QString>(const CommonDialog &)>;
    static void SetOpenHook(OpenHook hook);
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantMap>

// The program's entry in the desktop's task bar or dock, on which a
// playback's progress shows. It speaks the launcher-entry convention that
// KDE Plasma's task manager and GNOME's docks read: the signal Update of
// com.canonical.Unity.LauncherEntry on the session bus, for the desktop
// entry's "application://" address. A signal that no one listens to costs
// nothing and changes nothing; without a session bus nothing is sent.
class LauncherEntry {
public:
    static constexpr const char *kInterface = "com.canonical.Unity.LauncherEntry";

    explicit LauncherEntry(const QString &desktopFileId);
    ~LauncherEntry();
    LauncherEntry(const LauncherEntry &) = delete;
    LauncherEntry &operator=(const LauncherEntry &) = delete;

    // Shows how far the playback has come, from 0 to 1.
    void ShowProgress(double fraction);
    // Hides the progress, when it shows.
    void HideProgress();

private:
    void Update(const QVariantMap &properties);

    QString m_AppUri;
    bool m_Showing = false;
    bool m_Sent = false; // an Update went out on the bus
};

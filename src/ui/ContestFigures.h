// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>

class QLabel;

// Where the contest stands at the replay position, as three figures with
// their captions: the contest's time ("Contest time"), the contacts logged
// of the file's ("Logged") and the rates ("Rate"). Each figure's label is
// named for assistive technology by what it shows, and its description is
// the shown text.
class ContestFigures : public QWidget {
    Q_OBJECT
public:
    explicit ContestFigures(QWidget *parent = nullptr);

    // "2025-03-29 14:03:27Z", or empty with no file chosen.
    void ShowTime(const QString &time);
    // "1,204 of 5,905".
    void ShowLogged(int32_t logged, int32_t total);
    // Contacts per hour over the last 10 and the last 100 contacts (none
    // until there are so many), and the contacts of the last 60 minutes.
    void ShowRates(std::optional<int32_t> last10, std::optional<int32_t> last100, int32_t lastHour);
    // Empties every figure.
    void Clear();

private:
    QLabel *AddFigure(const QString &caption, const QString &name, const QString &objectName);
    static void Show(QLabel *figure, const QString &text);

    QLabel *m_Time;
    QLabel *m_Logged;
    QLabel *m_Rate;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AdifReaderControl.h"
#include "CommandLine.h"
#include "CommonDialog.h"
#include "ContestClock.h"
#include "ContestStatistics.h"
#include "LauncherEntry.h"
#include "LogSurvey.h"
#include "RecordFilter.h"
#include "Vantrel.h"
#include "clsMappingModel.h"
#include "clsSchedule.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

class QTimer;
namespace Ui {
class frmArdenix;
}

// The main window: the file choice, the speed choice, the countdown and the
// commands of a playback. It owns everything that outlives one event: the
// mapping model, the logger's objects, the reader and the playback state.
class frmArdenix : public QWidget {
    Q_OBJECT

public:
    explicit frmArdenix(QWidget *parent = nullptr);
    ~frmArdenix() override;

    // The mapping model, which the field mapping dialog edits.
    clsMappingModel &Mapping() { return m_Mapping; }

    // Chooses path as the file to replay, as a choice with "..." does, and
    // of it the records that only keeps (every one by default); a file that
    // is missing or cannot be read gets a message and no choice is made.
    // Answers whether the file was chosen.
    bool ChooseFile(const QString &path, const RecordFilter &only = RecordFilter());

    // Acts on the command line once the window is shown: chooses the speed
    // and the file, then presses "Skip dupes" and "Go", each through the
    // handler that a user's choice or click reaches; with a go-at time, "Go"
    // is pressed then. Nothing is pressed when the file could not be
    // chosen, nor "Go" when "Skip dupes" found no logger.
    void Start(const StartOptions &options);

signals:
    // A contact has been logged, told as a line that a script can follow: its
    // number among the records replayed and their count, its date and time,
    // and the text sent to the first mapped column
    // ("17/45 2024-11-23 00:14:30 K1ABC").
    void ContactLogged(const QString &line);

    // The playback has reached the end of the file; at once on "Go" for a
    // file without records.
    void PlaybackEnded();

private slots:
    void btnGo_Click();
    void btnPause_Click();
    void btnNow_Click();
    void Timer1_Timer();
    void cmdBrowseFile_Click();
    void cmdSkip_Click();
    void btnSetFields_Click();
    void cmbStation_Click();
    void txtStartAt_ReturnPressed();
    void ctlTimeline_Click(double moment);
    void tmrContestClock_Timer();

private:
    void Form_Load();

    void PreparePlayback();
    void LoadEntryColumns();
    void InitDefaultMapping();
    void BeginPlayback();
    QString LoadCurrentRecord();

    // A record's date and time, the six parts as the reader gives them.
    struct RecordTime {
        int16_t Year, Month, Day, Hour, Minute, Second;
        double TimeStamp() const; // in days
        QString Text() const;     // "2024-11-23 00:14:30"
    };

    void LogStep();
    void EndPlayback();
    void ScheduleNextRecord(double currentTimeStamp);
    RecordTime CurrentRecordTime();
    void ShowProgress(const RecordTime &time, const QString &firstColumnText);
    bool LookUpVantrel();
    void Tell(const QString &text, int unattendedExitStatus);
    void TakeChosenFile(const RecordFilter &only);
    void OpenChosenFile();
    void NextRecord();
    void SetTimerOn(bool on);
    void PutBackToIdle();
    void ShowStations();
    void ShowStationInTitle();
    void ShowReplayed();
    void GoAt(const QDateTime &moment);
    void WaitOnSchedule(double timeStamp);
    void StartWait(int32_t intervalMs, int32_t countdown);
    bool TakeStartAt();
    void RefuseStart(const QString &why);
    double StartMoment() const;
    void ShowStart();
    void SkipToStart();
    void WaitFromStart();
    void ShowContest();
    int32_t ContactsBehind() const;

    std::unique_ptr<Ui::frmArdenix> ui; // the controls, from the layout
    QTimer *Timer1;
    QTimer *tmrContestClock; // repaints the contest's figures while its clock runs
    CommonDialog CommonDialog1;
    AdifReaderControl AdifReader1;
    LauncherEntry m_LauncherEntry;

    clsMappingModel m_Mapping;
    std::shared_ptr<VantrelDocument> m_Document;
    std::shared_ptr<VantrelEntry> m_Entry;
    int16_t m_Busy = 0;
    int32_t m_Countdown = 0;
    int16_t m_Started = 0;
    // Whether the reader's last NextRecord made a record current: no step
    // sends a contact to the logger without one.
    int16_t m_HasRecord = 0;
    // How far a playback has come: the current record's number in the file
    // (from 1; 0 before the first) and the records of the file, counted
    // once when it was chosen.
    int32_t m_RecordNumber = 0;
    int32_t m_RecordCount = 0;

    // The records replayed (one station, or every record), and what the
    // reading at the file choice found in the file.
    RecordFilter m_Only;
    LogSurvey m_Survey;
    // A playback started by --go-at keeps to the moments of this schedule;
    // the timer that presses "Go" then.
    clsSchedule m_Schedule;
    std::optional<int64_t> m_GoAtMs; // the go-at moment, on the schedule's clock
    QTimer *m_GoAtTimer;
    QString m_Title; // the window's own title, before any station is named
    // The contest of the records replayed, whose figures the window shows,
    // and of the whole log, where the playback may start; both from the
    // one reading at the file choice.
    ContestStatistics m_Contest;
    ContestStatistics m_Log;
    // Where the playback begins, in contest time (days, as the time
    // stamps): chosen with "Start at" before "Go"; none for the file's
    // first contact. The first contact logged is the first at or after it,
    // and the first wait counts from it (StartMoment() gives it either way).
    std::optional<double> m_StartAt;
    // The contest's time at the replay position, which the figures show.
    ContestClock m_Clock;
};

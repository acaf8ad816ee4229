// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AdifReaderControl.h"
#include "CommonDialog.h"
#include "Vantrel.h"
#include "clsMappingModel.h"

#include <QWidget>
#include <cstdint>
#include <memory>

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

    // Chooses path as the file to replay, as a choice with "..." does; a file
    // that is missing or cannot be read gets a message and no choice is made.
    void ChooseFile(const QString &path);

private slots:
    void btnGo_Click();
    void btnPause_Click();
    void btnNow_Click();
    void Timer1_Timer();
    void cmdBrowseFile_Click();
    void cmdSkip_Click();
    void btnSetFields_Click();

private:
    void Form_Load();

    void PreparePlayback();
    void LoadEntryColumns();
    void InitDefaultMapping();
    void BeginPlayback();
    void LoadCurrentRecord();

    void LogStep();
    void EndPlayback();
    void ScheduleNextRecord(double currentTimeStamp);
    double CurrentTimeStamp();
    bool LookUpVantrel();
    void TakeChosenFile();
    void OpenChosenFile();
    void NextRecord();
    void SetTimerOn(bool on);

    std::unique_ptr<Ui::frmArdenix> ui; // the controls, from the layout
    QTimer *Timer1;
    CommonDialog CommonDialog1;
    AdifReaderControl AdifReader1;

    clsMappingModel m_Mapping;
    std::shared_ptr<VantrelDocument> m_Document;
    std::shared_ptr<VantrelEntry> m_Entry;
    int16_t m_Busy = 0;
    int32_t m_Countdown = 0;
    int16_t m_Started = 0;
    // Whether the reader's last NextRecord made a record current: no step
    // sends a contact to the logger without one.
    int16_t m_HasRecord = 0;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmArdenix.h"

#include "Accessibility.h"
#include "Bands.h"
#include "ContestTime.h"
#include "DateSerial.h"
#include "ErrorGuard.h"
#include "Flags.h"
#include "MessageBox.h"
#include "Modal.h"
#include "ModeCode.h"
#include "Numbers.h"
#include "Pacing.h"
#include "Program.h"
#include "Required.h"
#include "RuntimeError.h"
#include "frmFieldEdit.h"
#include "ui_frmArdenix.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr int16_t kAttributeTakesAdif = 4;
constexpr int kCountdownStepMs = 1000; // a countdown lowers once a second
constexpr int kContestClockStepMs = 250; // the running contest clock is shown a few times a second
constexpr int32_t kFewRecent = 10;       // the contacts of the rates "last 10" and "last 100"
constexpr int32_t kManyRecent = 100;

// kHz from MHz; a result that does not fit a double is an Overflow.
double Kilohertz(double megahertz)
{
    const double kilohertz = megahertz * 1000.0;
    if (!std::isfinite(kilohertz))
        throw RuntimeError::Overflow();
    return kilohertz;
}

// What keeps path from being read as a log, for a message; empty when nothing does.
QString FileProblem(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return QStringLiteral("The file \"%1\" does not exist.").arg(path);
    if (!file.isFile())
        return QStringLiteral("\"%1\" is not a file.").arg(path);
    QFile reading(path);
    if (!reading.open(QIODevice::ReadOnly))
        return QStringLiteral("The file \"%1\" cannot be read: %2.").arg(path, reading.errorString());
    return QString();
}

// The names of the bands that LogSurvey numbered ("160m", "80m").
QStringList BandNames(const std::vector<int16_t> &bands)
{
    QStringList names;
    for (int16_t band : bands)
        names << adif::Bands()[static_cast<size_t>(band)].Text();
    return names;
}

// "busiest hour 2025-03-29 14:00Z: 312 contacts"
QString BusiestHourText(const ContestStatistics &contest)
{
    const ContestStatistics::Hour hour = contest.BusiestHour();
    if (hour.Count == 0)
        return QStringLiteral("no contacts");
    return QStringLiteral("busiest hour %1: %2 contact%3")
        .arg(ContestTime::HourText(hour.Start))
        .arg(hour.Count)
        .arg(hour.Count == 1 ? QString() : QStringLiteral("s"));
}

// text on one line, so that a contact's line stays one line.
QString OneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
}

} // namespace

frmArdenix::frmArdenix(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::frmArdenix>()), m_LauncherEntry(Program::kDesktopFileId)
{
    Accessibility::Install();
    ui->setupUi(this);
    setWindowIcon(Program::Icon());
    // A fixed single frame: no resize, no maximise button.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // The contest area below the controls of the design, as tall as its contents need.
    const int areaHeight = ui->fraContest->hasHeightForWidth() ? ui->fraContest->heightForWidth(width())
                                                               : ui->fraContest->sizeHint().height();
    ui->fraContest->setGeometry(0, height(), width(), areaHeight);
    setFixedSize(width(), height() + areaHeight);

    // The playback timer: millisecond accuracy, off, with an interval of 1 ms.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &frmArdenix::Timer1_Timer);

    m_GoAtTimer = new QTimer(this);
    m_GoAtTimer->setSingleShot(true);
    m_GoAtTimer->setTimerType(Qt::PreciseTimer);
    connect(m_GoAtTimer, &QTimer::timeout, ui->btnGo, &QPushButton::click);

    // The station choice shows only for a log with stations to choose from.
    m_Title = windowTitle();
    ui->lblStation->hide();
    ui->cmbStation->hide();

    tmrContestClock = new QTimer(this);
    tmrContestClock->setObjectName(QStringLiteral("tmrContestClock"));
    tmrContestClock->setInterval(kContestClockStepMs);
    connect(tmrContestClock, &QTimer::timeout, this, &frmArdenix::tmrContestClock_Timer);

    ui->btnSetFields->setFocus();
    ErrorGuard::Guarded([this] { Form_Load(); });
}

frmArdenix::~frmArdenix() = default;

// ---- Start-up and file choice ----

void frmArdenix::Form_Load()
{
    m_Mapping.m_FieldPropertyNames = std::make_shared<EntryCollection>();
    for (int16_t speed = Pacing::k1X; speed <= Pacing::kFivePerSecond; ++speed)
        ui->cmbPlaybackSpeed->insertItem(speed, Pacing::SpeedName(speed));
    ui->cmbPlaybackSpeed->setCurrentIndex(Pacing::k1X);
    m_Started = kFlagOff;
}

void frmArdenix::cmdBrowseFile_Click()
{
    ErrorGuard::Guarded([this] {
        // After the two usual pairs, the other files the reader reads.
        CommonDialog1.Filter = QStringLiteral("All Files (*.*)|*.*|ADIF Files (*.adi)|*.adi|ADX Files (*.adx)|*.adx|"
                                              "Cabrillo Logs (*.log *.cbr)|*.log;*.cbr");
        CommonDialog1.FilterIndex = 2;
        CommonDialog1.Flags = CommonDialog::kFileMustExist | CommonDialog::kHideReadOnly;
        CommonDialog1.ShowOpen(this);
        // A cancel leaves the earlier choice in the dialog, and the playback is reset all the same.
        TakeChosenFile(RecordFilter());
    });
}

bool frmArdenix::ChooseFile(const QString &path, const RecordFilter &only)
{
    bool chosen = false;
    ErrorGuard::Guarded([this, &path, &only, &chosen] {
        const QString problem = FileProblem(path);
        if (!problem.isEmpty()) {
            Tell(problem, ErrorGuard::kFatalExitStatus);
            return;
        }
        CommonDialog1.FileName = QFileInfo(path).absoluteFilePath();
        TakeChosenFile(only);
        chosen = true;
    });
    return chosen;
}

void frmArdenix::Start(const StartOptions &options)
{
    if (options.Speed >= 0)
        ui->cmbPlaybackSpeed->setCurrentIndex(options.Speed);
    if (options.File.isEmpty() || !ChooseFile(options.File, options.Only))
        return;
    if (!options.From.isEmpty()) {
        ui->txtStartAt->setText(options.From);
        bool taken = false;
        ErrorGuard::Guarded([this, &taken] { taken = TakeStartAt(); });
        if (!taken)
            return; // a start outside the log: nothing is pressed
    }
    if (options.SkipDupes) {
        ui->cmdSkip->click();
        if (!m_Started)
            return; // no logger: "Go" would only say so again
    }
    if (options.GoAt.isValid())
        GoAt(options.GoAt);
    else if (options.Go)
        ui->btnGo->click();
}

// Presses "Go" at moment (at once when it has just passed). The playback
// then keeps to the moments that every copy started alike keeps to,
// counted from that moment and the start.
void frmArdenix::GoAt(const QDateTime &moment)
{
    const int64_t untilMs = QDateTime::currentDateTime().msecsTo(moment);
    m_GoAtMs = clsSchedule::NowMs() + untilMs;
    m_GoAtTimer->start(std::chrono::milliseconds(std::max<int64_t>(untilMs, 0)));
}

// Shows the file chosen in the file dialog and puts the playback back to its
// idle state for it: stopped, not set up, with an empty mapping, replaying
// the records that only keeps.
void frmArdenix::TakeChosenFile(const RecordFilter &only)
{
    m_Only = only;
    m_Survey = LogSurvey::Of(CommonDialog1.FileName, m_Only);
    ShowStations();
    ShowReplayed();
    m_Log = m_Only.IsAll() ? m_Contest : ContestStatistics(m_Survey.Times);
    m_StartAt.reset();
    ShowStart();
    ui->lblFileName->SetPath(CommonDialog1.FileName);
    PutBackToIdle();
    m_Mapping.m_FieldPropertyNames = std::make_shared<EntryCollection>();
}

// Stopped and not set up, with nothing counted down and no progress shown,
// ready for "Go" and "Skip dupes" from the file's first record.
void frmArdenix::PutBackToIdle()
{
    ui->txtStartAt->setEnabled(true);
    ui->ctlTimeline->SetClickable(true);
    m_LauncherEntry.HideProgress();
    ui->lblCountdown->setAccessibleDescription(QString());
    SetTimerOn(false);
    ui->btnPause->setEnabled(false);
    ui->btnGo->setEnabled(true);
    ui->cmdSkip->setEnabled(true);
    ui->cmbStation->setEnabled(true);
    m_Started = kFlagOff;
    ui->lblCountdown->SetCount(QString());
    m_Countdown = 0;
    m_Schedule.End();
    m_GoAtMs.reset();
    m_GoAtTimer->stop();
}

// ---- The station choice ----

// A log whose contacts name two or more transmitters offers each of them
// (and all); so does a log replayed with --only on some other field, which
// is then the one choice besides all. The window's title names the station.
void frmArdenix::ShowStations()
{
    QComboBox &stations = *ui->cmbStation;
    stations.clear();
    stations.addItem(QStringLiteral("All stations"), QVariant::fromValue(RecordFilter()));
    if (m_Survey.Transmitters.size() >= 2) {
        for (const QString &transmitter : m_Survey.Transmitters) {
            const RecordFilter station = RecordFilter::Station(transmitter);
            stations.addItem(station.Caption(), QVariant::fromValue(station));
        }
    }
    if (!m_Only.IsAll() && stations.findText(m_Only.Caption()) < 0)
        stations.addItem(m_Only.Caption(), QVariant::fromValue(m_Only));
    stations.setCurrentIndex(std::max(stations.findText(m_Only.Caption()), 0));
    const bool offered = stations.count() > 1;
    ui->lblStation->setVisible(offered);
    stations.setVisible(offered);
    ShowStationInTitle();
}

void frmArdenix::ShowStationInTitle()
{
    setWindowTitle(m_Only.IsAll() ? m_Title : m_Title + QStringLiteral(" - ") + m_Only.Caption());
}

// The contest of the records replayed (one station's, or the whole log's):
// their count, the timeline and the busiest hour.
void frmArdenix::ShowReplayed()
{
    const LogSurvey replayed = m_Survey.Only(m_Only);
    m_Contest = ContestStatistics(replayed.Times, replayed.Bands);
    m_RecordCount = m_Contest.Count();
    ui->ctlTimeline->SetBins(m_Contest.Bins(), BandNames(m_Contest.Bins().Bands));
    ui->ctlTimeline->setAccessibleDescription(BusiestHourText(m_Contest));
}

// Replays the chosen station from the file's first record; the mapping stays.
void frmArdenix::cmbStation_Click()
{
    ErrorGuard::Guarded([this] {
        m_Only = ui->cmbStation->currentData().value<RecordFilter>();
        ShowStationInTitle();
        ShowReplayed();
        PutBackToIdle();
        ShowContest();
    });
}

// ---- Playback set-up and the mapping model ----

void frmArdenix::PreparePlayback()
{
    if (m_Started)
        return;
    m_Started = kFlagOn;
    ui->btnNow->setEnabled(false);
    if (!LookUpVantrel()) {
        m_Started = kFlagOff;
        return;
    }
    LoadEntryColumns();
    OpenChosenFile();
    InitDefaultMapping();
    ui->txtStartAt->setEnabled(false); // the reader moves on from the start now
    ui->ctlTimeline->SetClickable(false);
}

void frmArdenix::LoadEntryColumns()
{
    m_Entry = Required(m_Document).GetCurrentEntry();
    auto columns = std::make_shared<EntryCollection>();
    m_Mapping.m_VantrelEntryColumns = columns;
    for (int16_t n = 1;; n = Numbers::Add16(n, 1)) {
        const QString adifName = m_Entry->GetAdifNameN(n);
        if (adifName.isEmpty())
            break;
        if (!(m_Entry->GetFieldAttributesN(n) & kAttributeTakesAdif))
            continue;
        auto column = std::make_shared<clsEntry>();
        column->AdifName = adifName;
        column->EntryWindowTitle = m_Entry->FieldTitle(n);
        column->EntryWindowIndex = n;
        columns->Add(column, EntryKey(n));
    }
}

void frmArdenix::InitDefaultMapping()
{
    EntryCollection &mapping = Required(m_Mapping.m_FieldPropertyNames);
    if (mapping.Count() > 0)
        return;
    for (const std::shared_ptr<clsEntry> &column : Required(m_Mapping.m_VantrelEntryColumns))
        mapping.Add(column, EntryKey(column->EntryWindowIndex));
}

// ---- Record transfer ----

// Answers the text of the first mapped column, empty when it has none.
QString frmArdenix::LoadCurrentRecord()
{
    VantrelEntry &entry = Required(m_Entry);
    entry.ClearEntry();

    const EntryCollection &mapping = Required(m_Mapping.m_FieldPropertyNames);
    const int32_t count = mapping.Count();
    QString firstColumnText;
    for (int32_t position = 1; position <= count; ++position) {
        const std::shared_ptr<clsEntry> &field = mapping.Item(position);
        QString text = AdifReader1.FieldValue(field->AdifName);
        if (position == 1)
            firstColumnText = text;
        if (!text.isEmpty())
            entry.SetFieldN(field->EntryWindowIndex, std::move(text));
    }

    const QString mode = AdifReader1.Mode();
    const double frequency = AdifReader1.Frequency();
    const double splitFrequency = AdifReader1.SplitFrequency();
    int16_t modeCode = ModeCode(mode, frequency);
    // Any difference at all makes a split contact; the flag is 1, not -1.
    int16_t split = frequency != splitFrequency ? 1 : 0;
    entry.SetLogFrequencyEx(modeCode, Kilohertz(splitFrequency), Kilohertz(frequency), split);
    return firstColumnText;
}

// ---- The scheduler ----

void frmArdenix::btnGo_Click()
{
    ErrorGuard::Guarded([this] {
        if (m_Started) {
            BeginPlayback();
            WaitFromStart();
            ShowContest();
            return;
        }
        if (!TakeStartAt())
            return;
        PreparePlayback();
        if (!m_Started)
            return;
        NextRecord();
        SkipToStart();
        if (m_HasRecord) {
            BeginPlayback();
            WaitFromStart();
            ShowContest();
        } else {
            emit PlaybackEnded(); // nothing to play: the end of the file is reached at once
        }
    });
}

void frmArdenix::BeginPlayback()
{
    SetTimerOn(true);
    ui->btnPause->setEnabled(true);
    ui->btnGo->setEnabled(false);
    ui->cmdSkip->setEnabled(false);
    ui->btnPause->setText(QStringLiteral("Pause"));
    m_Busy = kFlagOff;
    m_Countdown = 0;
    ui->lblCountdown->SetCount(QString());
    ui->cmbStation->setEnabled(false);
    // On a shared clock the first contact, too, waits for its moment.
    if (m_GoAtMs && m_HasRecord) {
        m_Schedule.Begin(*m_GoAtMs, StartMoment());
        m_Clock.StandAt(StartMoment());
        ScheduleNextRecord(StartMoment());
    }
}

void frmArdenix::Timer1_Timer()
{
    ErrorGuard::Guarded([this] {
        if (m_Busy)
            return;
        if (m_Countdown > 1) {
            m_Countdown = Numbers::Sub32(m_Countdown, 1);
            ui->lblCountdown->SetCount(Numbers::DecimalText(m_Countdown));
            if (m_Schedule.IsOn())
                Timer1->setInterval(
                    clsSchedule::IntervalToNextEvent(clsSchedule::NowMs(), m_Schedule.DueMs(), m_Countdown));
            return;
        }
        LogStep();
    });
}

// Logs the current record and works out the wait for the next one. An error
// ends the step where it arose, with m_Busy still set.
void frmArdenix::LogStep()
{
    ui->lblCountdown->SetCount(QString());
    m_Countdown = 0;
    m_Busy = kFlagOn;
    if (!m_HasRecord) {
        // Nothing current (the file ran out before): nothing is sent, the playback ends.
        EndPlayback();
        m_Busy = kFlagOff;
        return;
    }
    const QString firstColumnText = LoadCurrentRecord();
    const RecordTime time = CurrentRecordTime();
    Required(m_Entry).EnterQso();
    m_Clock.StandAt(time.TimeStamp());
    ShowProgress(time, firstColumnText);
    NextRecord();
    if (m_HasRecord)
        ScheduleNextRecord(time.TimeStamp());
    else
        EndPlayback();
    ShowContest();
    m_Busy = kFlagOff;
}

void frmArdenix::EndPlayback()
{
    ui->btnGo->setEnabled(true);
    ui->cmdSkip->setEnabled(true);
    ui->btnPause->setEnabled(false);
    SetTimerOn(false);
    ui->cmbStation->setEnabled(true);
    m_Schedule.End();
    m_GoAtMs.reset();
    m_LauncherEntry.HideProgress();
    emit PlaybackEnded();
}

// How far the playback has come once a contact is logged: on the program's
// entry in the task bar, in the countdown's accessible description (the
// window itself shows only the countdown), and as the contact's line.
void frmArdenix::ShowProgress(const RecordTime &time, const QString &firstColumnText)
{
    ui->lblCountdown->setAccessibleDescription(
        QStringLiteral("contact %1 of %2").arg(m_RecordNumber).arg(m_RecordCount));
    if (m_RecordCount > 0)
        m_LauncherEntry.ShowProgress(static_cast<double>(m_RecordNumber) / m_RecordCount);
    QString line = QStringLiteral("%1/%2 %3").arg(m_RecordNumber).arg(m_RecordCount).arg(time.Text());
    if (!firstColumnText.isEmpty())
        line += QLatin1Char(' ') + OneLine(firstColumnText);
    emit ContactLogged(line);
}

// The wait from one record's time stamp to the next one's, or, on a shared
// clock, until the next record's moment.
void frmArdenix::ScheduleNextRecord(double currentTimeStamp)
{
    const double nextTimeStamp = CurrentRecordTime().TimeStamp();
    const auto speed = static_cast<int16_t>(ui->cmbPlaybackSpeed->currentIndex());
    m_Clock.RunTowards(nextTimeStamp, Pacing::ContestSecondsPerSecond(speed));
    if (m_Schedule.IsOn()) {
        WaitOnSchedule(nextTimeStamp);
        return;
    }
    const Pacing::Wait wait = Pacing::NextWait(currentTimeStamp, nextTimeStamp, speed);
    StartWait(wait.Countdown == 0 ? wait.DelayMs : kCountdownStepMs, wait.Countdown);
}

// Waits until the moment of the record with this time stamp.
void frmArdenix::WaitOnSchedule(double timeStamp)
{
    const auto speed = static_cast<int16_t>(ui->cmbPlaybackSpeed->currentIndex());
    const int64_t dueMs = m_Schedule.Next(timeStamp, speed);
    const clsSchedule::Wait wait = clsSchedule::WaitUntil(clsSchedule::NowMs(), dueMs);
    StartWait(wait.IntervalMs, wait.Countdown);
}

// A wait without a countdown is one timer interval; with one, the label
// counts down in whole seconds, during which "Now" can cut it short.
void frmArdenix::StartWait(int32_t intervalMs, int32_t countdown)
{
    if (countdown == 0) {
        ui->btnNow->setEnabled(false);
    } else {
        m_Countdown = countdown;
        ui->lblCountdown->SetCount(Numbers::DecimalText(m_Countdown));
        ui->btnNow->setEnabled(true);
    }
    Timer1->setInterval(intervalMs);
}

frmArdenix::RecordTime frmArdenix::CurrentRecordTime()
{
    RecordTime time;
    time.Year = AdifReader1.Year();
    time.Month = AdifReader1.Month();
    time.Day = AdifReader1.Day();
    time.Hour = AdifReader1.Hour();
    time.Minute = AdifReader1.Minute();
    time.Second = AdifReader1.Second();
    return time;
}

double frmArdenix::RecordTime::TimeStamp() const
{
    return DateSerial::Date(Year, Month, Day) + DateSerial::Time(Hour, Minute, Second);
}

// The parts as given, with no carry-over: the record's own date and time.
QString frmArdenix::RecordTime::Text() const
{
    const auto two = [](int16_t part) { return QStringLiteral("%1").arg(part, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(Year, 4, 10, QLatin1Char('0'))
        .arg(two(Month), two(Day), two(Hour), two(Minute), two(Second));
}

void frmArdenix::btnPause_Click()
{
    ErrorGuard::Guarded([this] {
        if (Timer1->isActive()) {
            SetTimerOn(false);
            ui->btnPause->setText(QStringLiteral("Resume"));
            m_Schedule.Pause(clsSchedule::NowMs());
        } else {
            if (m_Schedule.IsOn()) {
                // Every moment comes as much later as the pause lasted.
                const int64_t nowMs = clsSchedule::NowMs();
                m_Schedule.Resume(nowMs);
                Timer1->setInterval(
                    clsSchedule::IntervalToNextEvent(nowMs, m_Schedule.DueMs(), std::max(m_Countdown, 1)));
            }
            SetTimerOn(true);
            ui->btnPause->setText(QStringLiteral("Pause"));
        }
        ShowContest();
    });
}

void frmArdenix::btnNow_Click()
{
    ErrorGuard::Guarded([this] {
        m_Countdown = 0;
        Timer1_Timer();
    });
}

// ---- Skip dupes ----

void frmArdenix::cmdSkip_Click()
{
    ErrorGuard::Guarded([this] {
        SetTimerOn(false);
        const bool setUpHere = !m_Started;
        if (setUpHere && !TakeStartAt())
            return;
        PreparePlayback();
        if (!m_Started)
            return;
        NextRecord();
        if (setUpHere)
            SkipToStart();
        // Load records until the logger calls one new; stop where the file ends.
        while (m_HasRecord) {
            LoadCurrentRecord();
            if (!Required(m_Entry).Dupe())
                break;
            NextRecord();
        }
        ui->cmdSkip->setEnabled(false);
        // The clock shows the first contact to be logged, or the chosen start.
        if (!m_StartAt && m_HasRecord)
            m_Clock.StandAt(CurrentRecordTime().TimeStamp());
        ShowContest();
    });
}

// ---- Field mapping ----

// Gathers the file's field names, refreshes the logger's columns, makes
// sure a mapping exists and opens the mapping dialog. A running playback
// goes on meanwhile, from the file's first record.
void frmArdenix::btnSetFields_Click()
{
    ErrorGuard::Guarded([this] {
        OpenChosenFile();
        NextRecord();

        auto names = std::make_shared<NameCollection>();
        m_Mapping.m_CandidateNames = names;
        const int32_t count = AdifReader1.FieldNameCount();
        for (int32_t position = 0; position < count; ++position) {
            const QString name = AdifReader1.FieldName(position);
            names->Add(name, name);
        }

        if (!LookUpVantrel())
            return;
        LoadEntryColumns();
        InitDefaultMapping();

        frmFieldEdit dialog(m_Mapping, this);
        Modal::Exec(dialog);
    });
}

// ---- Helpers ----

// Looks the running logger up, in place of any earlier document; when it is
// not running, tells the user so and answers false.
bool frmArdenix::LookUpVantrel()
{
    m_Document = VantrelDocument::GetRunning();
    if (!m_Document)
        Tell(QStringLiteral("Vantrel is not running!"), ErrorGuard::kNotRunningExitStatus);
    return m_Document != nullptr;
}

// A message that ends the command. In an unattended run no one would read
// it: it ends the program with the given exit status instead.
void frmArdenix::Tell(const QString &text, int unattendedExitStatus)
{
    if (ErrorGuard::Unattended())
        ErrorGuard::EndUnattended(text, unattendedExitStatus);
    else
        MessageBox::Show(this, text);
}

// Hands the file chosen in the file dialog to the reader, before its first record.
void frmArdenix::OpenChosenFile()
{
    AdifReader1.SetFileName(CommonDialog1.FileName);
    m_HasRecord = kFlagOff;
    m_RecordNumber = 0;
}

// The next record that the playback replays: of one station, the next of its records.
void frmArdenix::NextRecord()
{
    do
        m_HasRecord = Flag(AdifReader1.NextRecord() != 0);
    while (m_HasRecord && !m_Only.Matches(AdifReader1));
    if (m_HasRecord)
        m_RecordNumber = Numbers::Add32(m_RecordNumber, 1);
}

// ---- Start at ----

void frmArdenix::txtStartAt_ReturnPressed()
{
    ErrorGuard::Guarded([this] { TakeStartAt(); });
}

// Takes the contest time in "Start at" as the moment where the playback
// begins; no text is the file's first contact. A text that is no time, or
// a time outside the log, is told and changes nothing: answers false.
bool frmArdenix::TakeStartAt()
{
    const QString text = ui->txtStartAt->text().trimmed();
    if (m_Log.Count() > 0 && text == ContestTime::Text(StartMoment()))
        return true;
    std::optional<double> moment;
    if (!text.isEmpty()) {
        const std::optional<ContestTime::Typed> typed = ContestTime::Parse(text);
        if (!typed) {
            RefuseStart(QStringLiteral("\"%1\" is not a contest time: write %2.").arg(text, ContestTime::Forms()));
            return false;
        }
        moment = ContestTime::Resolve(*typed, m_Log.EarliestTime());
        if (m_Log.Count() == 0) {
            RefuseStart(QStringLiteral("The log holds no contacts to start at."));
            return false;
        }
        if (!m_Log.Holds(*moment)) {
            RefuseStart(QStringLiteral("%1 is outside the log, which runs from %2 to %3.")
                            .arg(ContestTime::Text(*moment), ContestTime::Text(m_Log.EarliestTime()),
                                 ContestTime::Text(m_Log.LatestTime())));
            return false;
        }
        // The file's first contact is where a playback begins anyway.
        if (ContestTime::Seconds(*moment) == ContestTime::Seconds(m_Log.TimeAt(0)))
            moment.reset();
    }
    m_StartAt = moment;
    ShowStart();
    return true;
}

// Tells why the text in "Start at" cannot be taken, and leaves it there to be mended.
void frmArdenix::RefuseStart(const QString &why)
{
    Tell(why, CommandLine::kUsageExitStatus);
    ui->txtStartAt->setFocus();
    ui->txtStartAt->selectAll();
}

// The moment where the playback begins: the chosen one, or the file's first contact.
double frmArdenix::StartMoment() const
{
    if (m_StartAt)
        return *m_StartAt;
    return m_Log.Count() > 0 ? m_Log.TimeAt(0) : 0.0;
}

void frmArdenix::ShowStart()
{
    ui->txtStartAt->setText(m_Log.Count() > 0 ? ContestTime::Text(StartMoment()) : QString());
    m_Clock.StandAt(StartMoment());
    ShowContest();
}

// A click on the timeline before "Go" starts the playback there, at the
// minute clicked (or the log's first or last contact, where the minute
// lies outside the log).
void frmArdenix::ctlTimeline_Click(double moment)
{
    ErrorGuard::Guarded([this, moment] {
        if (m_Started || m_Log.Count() == 0)
            return;
        const int64_t minute = ContestTime::Seconds(moment) / 60 * 60;
        const double start = std::clamp(ContestTime::Days(minute), m_Log.EarliestTime(), m_Log.LatestTime());
        ui->txtStartAt->setText(ContestTime::Text(start));
        TakeStartAt();
    });
}

// ---- The contest clock ----

void frmArdenix::tmrContestClock_Timer()
{
    ErrorGuard::Guarded([this] { ShowContest(); });
}

// Shows where the contest stands at the replay position: its time, the
// contacts behind it of the file's, the rates there, and the playhead. The
// clock is shown again a few times a second while it runs, else not.
void frmArdenix::ShowContest()
{
    const double now = m_Clock.Now();
    const int32_t behind = ContactsBehind();
    ui->ctlFigures->ShowTime(m_Contest.Count() > 0 ? ContestTime::Text(now) : QString());
    ui->ctlFigures->ShowLogged(behind, m_RecordCount);
    ui->ctlFigures->ShowRates(m_Contest.RateOverLast(kFewRecent, behind, now),
                              m_Contest.RateOverLast(kManyRecent, behind, now),
                              m_Contest.CountInLastHour(behind, now));
    ui->ctlTimeline->SetPlayhead(now);
    if (!m_Clock.IsRunning())
        tmrContestClock->stop();
    else if (!tmrContestClock->isActive())
        tmrContestClock->start();
}

// The contacts of the file behind the replay position: logged, or passed
// over by the start or by "Skip dupes".
int32_t frmArdenix::ContactsBehind() const
{
    if (!m_Started)
        return m_Contest.FirstAtOrAfter(StartMoment());
    return m_HasRecord ? m_RecordNumber - 1 : m_RecordNumber;
}

// Steps the reader, freshly set up, past the records before the chosen
// start: they are neither loaded into the logger nor logged.
void frmArdenix::SkipToStart()
{
    if (!m_StartAt)
        return;
    const int64_t start = ContestTime::Seconds(*m_StartAt);
    while (m_HasRecord && ContestTime::Seconds(CurrentRecordTime().TimeStamp()) < start)
        NextRecord();
}

// With a chosen start, the first contact is logged when its time comes,
// counted from the start at the chosen speed, as any other wait; without
// one (or once the start is passed) at the playback's first event.
void frmArdenix::WaitFromStart()
{
    if (!m_StartAt || !m_HasRecord || m_Schedule.IsOn())
        return; // on a shared clock, BeginPlayback has set the first wait
    if (ContestTime::Seconds(CurrentRecordTime().TimeStamp()) > ContestTime::Seconds(*m_StartAt)) {
        m_Clock.StandAt(*m_StartAt);
        ScheduleNextRecord(*m_StartAt);
    }
}

// Switching on a timer that is on already does not start its wait anew.
// The contest clock stands still while the timer is off.
void frmArdenix::SetTimerOn(bool on)
{
    if (!on) {
        Timer1->stop();
        m_Clock.Hold();
    } else if (!Timer1->isActive()) {
        Timer1->start();
        m_Clock.Release();
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecordFilter.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>

// What the command line asks of the main window once it is shown; the
// window acts on it through the handlers that a user's choices and clicks
// reach (frmArdenix::Start).
struct StartOptions {
    QString File;        // chosen as with "..."; empty for none
    int16_t Speed = -1;  // the row of the speed list to choose; -1 keeps "1X"
    RecordFilter Only;   // the records to replay: every one unless --only is given
    QString From;        // typed into "Start at" once FILE is chosen; empty for none
    bool SkipDupes = false;
    bool Go = false;
    // When "Go" is pressed (local time); invalid for none. The contacts are
    // then logged on a clock shared with every copy started alike.
    QDateTime GoAt;
    // Ends the program at the end of the file, and makes a run that no one
    // watches: a line per contact on standard output, and any failure on
    // standard error with a non-zero exit status instead of a message box.
    bool QuitAtEnd = false;
};

// The program's command line, read with Qt's parser.
namespace CommandLine {

// The exit status of a command line that cannot be acted on.
constexpr int kUsageExitStatus = 2;

struct Reading {
    enum class Request { Run, Help, Version, Error };
    Request Asked = Request::Run;
    StartOptions Options;    // for Run
    QString Text;            // the help text for Help, the message for Error
    // For Error: the command line holds an option that is none of ours. It
    // may be one of Qt's own (-platform, -geometry), which the application
    // object takes away, so the message waits until that has been done.
    bool UnknownOption = false;
};

// Reads the arguments (the program's name first); now is the local time
// against which --go-at is read.
Reading Read(const QStringList &arguments, const QDateTime &now = QDateTime::currentDateTime());

} // namespace CommandLine

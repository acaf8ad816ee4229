// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/RigctldCommands.h"

#include "logger/Mode.h"

#include <cmath>

namespace {

// Whole hertz.
QByteArray Hertz(double khz)
{
    return QByteArray::number(std::llround(khz * 1000.0));
}

} // namespace

QList<QByteArray> RigctldCommands::For(const RadioSetting &setting)
{
    QList<QByteArray> commands;
    const double khz = setting.split ? setting.rxKhz : setting.txKhz;
    if (setting.split) {
        commands.append("S 1 VFOB\n");
        if (setting.txKhz > 0)
            commands.append("I " + Hertz(setting.txKhz) + '\n');
    } else {
        commands.append("S 0 VFOA\n");
    }
    if (khz > 0)
        commands.append("F " + Hertz(khz) + '\n');
    // The window's mode names are rigctld's; passband 0 is the radio's default for the mode.
    const QByteArray mode = Mode::Label(setting.mode).toLatin1();
    if (!mode.isEmpty())
        commands.append("M " + mode + " 0\n");
    return commands;
}

bool RigctldCommands::IsSuccess(const QByteArray &answer)
{
    return answer == "RPRT 0";
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/Mode.h"

bool Mode::IsValid(int code)
{
    return code >= kNone && code <= kRtty;
}

QString Mode::Label(int code)
{
    switch (code) {
    case kLsb: return QStringLiteral("LSB");
    case kUsb: return QStringLiteral("USB");
    case kCw: return QStringLiteral("CW");
    case kFm: return QStringLiteral("FM");
    case kAm: return QStringLiteral("AM");
    case kRtty: return QStringLiteral("RTTY");
    default: return QString();
    }
}

QString Mode::AdifMode(int code)
{
    return (code == kLsb || code == kUsb) ? QStringLiteral("SSB") : Label(code);
}

QString Mode::AdifSubmode(int code)
{
    return (code == kLsb || code == kUsb) ? Label(code) : QString();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RuntimeError.h"

// The RuntimeError that f raises; one numbered 0 when f raises none.
template <typename F>
RuntimeError RaisedError(F f)
{
    try {
        f();
    } catch (const RuntimeError &error) {
        return error;
    }
    return RuntimeError(0, QString());
}

template <typename F>
int RaisedErrorNumber(F f)
{
    return RaisedError(f).number();
}

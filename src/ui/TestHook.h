// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where tests put a function in place of a modal window (a message box, a
// file dialog, a modal loop), so that no test blocks on one. Empty in the
// program. One hook for each function type.
template <typename Hook>
Hook &TestHook()
{
    static Hook hook;
    return hook;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The fast, crash-only target: one reading per input, every call made,
// nothing compared. Sanitizer reports are the findings.

#include "ExerciseReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DriveReader(FuzzInput(data, size));
    return 0;
}

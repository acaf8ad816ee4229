// SPDX-License-Identifier: GPL-3.0-or-later
// The fast, crash-only target: one reading per input, every member driven,
// nothing compared. Sanitizer reports and unexpected errors are the findings.

#include "ExerciseReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    AbortOnProblem("adif-fuzz-fast", DriveReader(FuzzInput(data, size)));
    return 0;
}

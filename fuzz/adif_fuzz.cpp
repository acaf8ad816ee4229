// SPDX-License-Identifier: GPL-3.0-or-later
// The comparing target: each input read twice, in usual and in tiny chunks.

#include "ExerciseReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    AbortOnProblem("adif-fuzz", ExerciseReader(FuzzInput(data, size)));
    return 0;
}

// The fast, crash-only target: one reading per input, every member driven,
// nothing compared. Sanitizer reports and unexpected errors are the findings.

#include "ExerciseReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString problem = DriveReader(bytes);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "adif-fuzz-fast: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}

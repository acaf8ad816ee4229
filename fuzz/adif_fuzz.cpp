#include "ExerciseReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString problem = ExerciseReader(bytes);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "adif-fuzz: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}

#pragma once

#include <QByteArray>
#include <QString>

// Feeds bytes to the reader from memory and drives every member of its
// dispatch contract, twice: with the usual chunk size and with a tiny one
// that forces a refill every few bytes. Both readings must agree, and the
// file's field-name list must hold exactly the names the records showed, in
// order of first appearance. Returns an empty string when all holds, else
// what went wrong. Used by the fuzzer and, for the sample files, by a test.
QString ExerciseReader(const QByteArray &data);

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// Feeds bytes to the reader from memory and makes every one of its calls,
// twice: with the usual chunk size and with a tiny one that forces a refill
// every few bytes (ADI and ADX alike). Both readings
// must agree, records, diagnostics and any error alike; the file's
// field-name list must hold exactly the names the records showed, in order
// of first appearance, distinct as keys of the keyed collection; each field
// must be found under its name in any letter case. Returns an empty string
// when all holds, else what went wrong. Used by the comparing fuzz target
// and, for the sample files, by a test.
QString ExerciseReader(const QByteArray &data);

// One reading that only makes every call (the file's field names for every
// fourth input by length), for the fast fuzz target; sanitizer reports are
// its findings. The one error the reader raises on bad input from memory,
// a record over the size limit, ends the reading.
void DriveReader(const QByteArray &data);

// A fuzzer's input as bytes, shared rather than copied.
QByteArray FuzzInput(const uint8_t *data, size_t size);

// A finding: prints the problem and aborts, so libFuzzer keeps the input.
// An empty problem is no finding.
void AbortOnProblem(const char *target, const QString &problem);

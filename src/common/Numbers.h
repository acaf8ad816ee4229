// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>

// Number and variant conversions with automation semantics: doubles become
// integers by rounding half to even, a result outside its type raises
// Overflow, text that is not a number raises Type mismatch.
namespace Numbers {

int16_t ToInt16(double value);
int32_t ToInt32(double value);

int16_t Add16(int16_t a, int16_t b);
int32_t Add32(int32_t a, int32_t b);
int32_t Sub32(int32_t a, int32_t b);
// a / b rounded down, also for a negative a (a time before its epoch).
int64_t FloorDiv(int64_t a, int64_t b);

// Conversions of a value as it comes from a component or the host.
// An invalid (empty) variant reads as 0 or the empty text.
QString VariantToText(const QVariant &value);
// The same for a variant that is not needed afterwards: text is moved out.
QString VariantToText(QVariant &&value);
double VariantToDouble(const QVariant &value);
int16_t VariantToInt16(const QVariant &value);
int32_t VariantToInt32(const QVariant &value);

// A value compared with a number, as automation compares them: numeric
// text compares by its value; text that is not a number is a Type mismatch.
bool VariantEqualsNumber(const QVariant &value, double number);

// Plain decimal text of an integer, as used for collection keys and the countdown.
QString DecimalText(int64_t value);

} // namespace Numbers

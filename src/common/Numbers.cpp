// SPDX-License-Identifier: GPL-3.0-or-later
#include "Numbers.h"

#include "RuntimeError.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace Numbers {

namespace {

// Rounds half to even; the default floating-point environment rounds that way.
template <typename Int>
Int RoundToInt(double value)
{
    if (!std::isfinite(value))
        throw RuntimeError::Overflow();
    const double rounded = std::nearbyint(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min())
        || rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        throw RuntimeError::Overflow();
    return static_cast<Int>(rounded);
}

template <typename Int>
Int CheckedInt(int64_t value)
{
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
        throw RuntimeError::Overflow();
    return static_cast<Int>(value);
}

// Numeric text as automation reads it: blanks around, an optional sign,
// digits with an optional fraction and exponent, or &H / &O integers.
double ParseNumericText(const QString &text)
{
    static const QRegularExpression decimal(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eEdD][+-]?\d+)?\s*$)"));
    static const QRegularExpression radix(QStringLiteral(R"(^\s*&([hHoO])([0-9A-Fa-f]+)\s*$)"));

    if (decimal.match(text).hasMatch()) {
        QString normal = text.trimmed();
        normal.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
        bool ok = false;
        const double value = normal.toDouble(&ok);
        if (!ok || !std::isfinite(value))
            throw RuntimeError::Overflow();
        return value;
    }
    const QRegularExpressionMatch m = radix.match(text);
    if (m.hasMatch()) {
        const int base = m.captured(1).compare(QLatin1String("h"), Qt::CaseInsensitive) == 0 ? 16 : 8;
        bool ok = false;
        const qulonglong value = m.captured(2).toULongLong(&ok, base);
        if (!ok || value > 0xFFFFFFFFull)
            throw base == 8 && !ok ? RuntimeError::TypeMismatch() : RuntimeError::Overflow();
        // &H literals are 32-bit patterns: &HFFFFFFFF is -1.
        return value > 0x7FFFFFFFull ? static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)))
                                     : static_cast<double>(value);
    }
    throw RuntimeError::TypeMismatch();
}

bool IsIntegerType(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return true;
    default:
        return false;
    }
}

// The stored value of a variant known to hold a T, read in place.
template <typename T>
const T &Stored(const QVariant &value)
{
    return *static_cast<const T *>(value.constData());
}

template <typename Int>
Int VariantToInt(const QVariant &value)
{
    // The types that components usually send come first, read in place.
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::Int:
        return CheckedInt<Int>(Stored<int>(value));
    case QMetaType::Short:
        return CheckedInt<Int>(Stored<short>(value));
    case QMetaType::Double:
        return RoundToInt<Int>(Stored<double>(value));
    case QMetaType::Bool:
        return Stored<bool>(value) ? -1 : 0;
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong u = value.toULongLong();
        if (u > static_cast<qulonglong>(std::numeric_limits<Int>::max()))
            throw RuntimeError::Overflow();
        return static_cast<Int>(u);
    }
    default:
        break;
    }
    if (IsIntegerType(value))
        return CheckedInt<Int>(value.toLongLong());
    return RoundToInt<Int>(VariantToDouble(value));
}

} // namespace

int16_t ToInt16(double value) { return RoundToInt<int16_t>(value); }
int32_t ToInt32(double value) { return RoundToInt<int32_t>(value); }

int16_t Add16(int16_t a, int16_t b) { return CheckedInt<int16_t>(int64_t(a) + b); }
int32_t Add32(int32_t a, int32_t b) { return CheckedInt<int32_t>(int64_t(a) + b); }
int32_t Sub32(int32_t a, int32_t b) { return CheckedInt<int32_t>(int64_t(a) - b); }
int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

QString VariantToText(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        return QString();
    case QMetaType::QString:
        return Stored<QString>(value);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d))
            throw RuntimeError::Overflow();
        return QString::number(d, 'g', 15).toUpper();
    }
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QString::number(value.toULongLong());
    default:
        break;
    }
    if (IsIntegerType(value))
        return DecimalText(value.toLongLong());
    throw RuntimeError::TypeMismatch();
}

QString VariantToText(QVariant &&value)
{
    if (value.metaType().id() == QMetaType::QString)
        return std::move(*static_cast<QString *>(value.data()));
    return VariantToText(static_cast<const QVariant &>(value));
}

double VariantToDouble(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        return 0.0;
    case QMetaType::Bool:
        return Stored<bool>(value) ? -1.0 : 0.0;
    case QMetaType::Double:
        return Stored<double>(value);
    case QMetaType::Float:
        return Stored<float>(value);
    case QMetaType::QString:
        return ParseNumericText(Stored<QString>(value));
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return static_cast<double>(value.toULongLong());
    default:
        break;
    }
    if (IsIntegerType(value))
        return static_cast<double>(value.toLongLong());
    throw RuntimeError::TypeMismatch();
}

int16_t VariantToInt16(const QVariant &value) { return VariantToInt<int16_t>(value); }
int32_t VariantToInt32(const QVariant &value) { return VariantToInt<int32_t>(value); }

bool VariantEqualsNumber(const QVariant &value, double number) { return VariantToDouble(value) == number; }

QString DecimalText(int64_t value) { return QString::number(value); }

} // namespace Numbers

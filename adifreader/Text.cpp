// SPDX-License-Identifier: GPL-3.0-or-later
#include "Text.h"

#include <QStringDecoder>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace adif::text {

std::string_view Trimmed(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsSpace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && IsSpace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

bool IsAscii(QStringView s)
{
    for (QChar c : s)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

bool IsValidUtf8(std::string_view s)
{
    bool cutShort = false;
    return ValidUtf8Prefix(s, cutShort) == s.size();
}

size_t ValidUtf8Prefix(std::string_view s, bool &cutShort)
{
    cutShort = false;
    const auto *begin = reinterpret_cast<const unsigned char *>(s.data());
    const auto *p = begin;
    const auto *end = p + s.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
        uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            break;
        }
        bool continued = true;
        for (int i = 1; i <= extra && p + i < end; ++i) {
            continued = continued && (p[i] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (end - p <= extra) {
            cutShort = continued;
            break;
        }
        if (!continued || (extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))
            || (cp >= 0xD800 && cp <= 0xDFFF))
            break;
        p += extra + 1;
    }
    return static_cast<size_t>(p - begin);
}

namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes keep their C1 code points.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString Decode(std::string_view s)
{
    bool ascii = true;
    for (unsigned char c : s)
        ascii = ascii && c < 0x80;
    if (ascii) // the usual case: one pass, no validation
        return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
    if (IsValidUtf8(s)) {
        // fromUtf8 drops a leading byte-order mark; inside a value it is text.
        if (s.size() >= 3 && s.substr(0, 3) == "\xEF\xBB\xBF") {
            QStringDecoder utf8(QStringDecoder::Utf8,
                                QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
            return utf8(QByteArrayView(s.data(), static_cast<qsizetype>(s.size())));
        }
        return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    }
    QString out(static_cast<qsizetype>(s.size()), Qt::Uninitialized);
    QChar *d = out.data();
    for (unsigned char c : s)
        *d++ = QChar(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : char16_t(c));
    return out;
}

QString UpperName(std::string_view name) { return Decode(name).toUpper(); }

bool IsAsciiBytes(std::string_view s)
{
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

QString NameKey(std::string_view name) { return FoldName(Decode(name)); }

QString LookupKey(QStringView name) { return FoldName(name.toString()); }

QString ReportedName(QStringView key)
{
    QString upper = key.toString().toUpper();
    return FoldName(upper) == key ? upper : key.toString();
}

std::optional<double> ParseNumber(std::string_view s)
{
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return std::nullopt;
    // from_chars would also take "inf" and "nan"; a number starts with a digit, '.' or '-'.
    const char c = s.front() == '-' && s.size() > 1 ? s[1] : s.front();
    if (!(c == '.' || (c >= '0' && c <= '9')))
        return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace adif::text

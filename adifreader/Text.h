// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>
#include <optional>
#include <string_view>

// Byte-level helpers for ADIF text. Parsing works on raw bytes; text becomes
// a QString only when a caller asks for a value.
namespace adif::text {

inline bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline unsigned char AsciiUpper(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

std::string_view Trimmed(std::string_view s);

// ASCII letters compared without regard to case; other bytes exactly.
// Inline: most callers compare with a constant, which the loop then unrolls for.
inline bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(static_cast<unsigned char>(a[i])) != AsciiUpper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool IsAscii(QStringView s);

bool IsValidUtf8(std::string_view s);

// The length of the longest start of s made of whole, valid UTF-8
// characters. cutShort tells whether what follows is the start of a
// character that the next bytes may complete, rather than invalid.
size_t ValidUtf8Prefix(std::string_view s, bool &cutShort);

// UTF-8 where the bytes are valid UTF-8, else Windows-1252.
QString Decode(std::string_view s);

// Upper-case form of a name (or of a mode).
QString UpperName(std::string_view name);

bool IsAsciiBytes(std::string_view s);

// Unicode case folding: the comparison of field names. It is the keyed
// collection's comparison of keys, so that names the reader tells apart are
// different keys there too (tst_reader_adif holds the two together).
inline QString FoldName(const QString &name) { return name.toCaseFolded(); }

// The key that tells field names apart: the fold (FoldName) of the decoded
// name. Names with different keys can never clash as keys of a collection,
// and a name is found under any spelling that folds the same.
QString NameKey(std::string_view name);

// The key of a name a caller asks for (FoldName of it).
QString LookupKey(QStringView name);

// The name reported for a key: in upper case where that folds back to the
// same key ("CALL" for "call"), else the key itself ("straße", since
// "STRASSE" is the key "strasse"). It always folds to its key, so names
// reported for different keys differ as collection keys too.
QString ReportedName(QStringView key);

// A plain decimal number ("14.074", "-3", ".5", "1e3"); nullopt for anything
// else, for text with surrounding or inner junk, and for non-finite values.
std::optional<double> ParseNumber(std::string_view s);

// Days in a month (1 to 12) of the Gregorian calendar.
int DaysInMonth(int year, int month);

} // namespace adif::text

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
bool EqualsNoCase(std::string_view a, std::string_view b);

bool IsAscii(QStringView s);

// Compares raw name bytes with a caller's name, ignoring letter case. An
// ASCII name (the usual case, checked once by the caller) needs no allocation.
bool NameMatches(std::string_view name, QStringView wanted, bool wantedIsAscii);

bool IsValidUtf8(std::string_view s);

// UTF-8 where the bytes are valid UTF-8, else Windows-1252.
QString Decode(std::string_view s);

// Upper-case form of a field name as reported to callers.
QString UpperName(std::string_view name);

// A plain decimal number ("14.074", "-3", ".5", "1e3"); nullopt for anything
// else, for text with surrounding or inner junk, and for non-finite values.
std::optional<double> ParseNumber(std::string_view s);

// Lower edge in MHz of an ADIF band name ("20m", "70CM"); nullopt when unknown.
std::optional<double> BandLowerEdge(std::string_view band);

} // namespace adif::text

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteSource.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace adif {

// One field of the current record: name and value as byte ranges relative
// to the parser's Base(). Nothing is decoded until a caller asks. A record
// is held whole and never longer than kMaxRecordLimit, so 32 bits hold each
// range and a record of many fields stays small.
struct FieldRef {
    uint32_t nameOff;
    uint32_t nameLen;
    uint32_t valueOff;
    uint32_t valueLen;

    static FieldRef At(size_t nameOff, size_t nameLen, size_t valueOff, size_t valueLen)
    {
        return {static_cast<uint32_t>(nameOff), static_cast<uint32_t>(nameLen), static_cast<uint32_t>(valueOff),
                static_cast<uint32_t>(valueLen)};
    }
};

// The most a parser may be told to hold of one record.
constexpr size_t kMaxRecordLimit = UINT32_MAX;

// Damage met while reading: where (a byte offset in an ADI file, a character
// offset in an ADX file) and what the reader made of it.
struct Diagnostic {
    uint64_t offset;
    QString message;
};

// Every piece of damage is counted; the first kKept are kept with their
// text, so a badly damaged file cannot make the list grow without bound.
struct Diagnostics {
    static constexpr size_t kKept = 100;
    uint64_t count = 0;
    std::vector<Diagnostic> kept;
};

// Reads one record at a time; only the current record is kept.
class RecordParser {
public:
    virtual ~RecordParser() = default;

    // Makes the next record current; false when there is none. After false
    // (or an error) the parser stays at the end.
    virtual bool Next() = 0;

    // Fields of the current record in file order (repeats included).
    const std::vector<FieldRef> &Fields() const { return m_Fields; }
    std::string_view Name(const FieldRef &f) const { return {m_Base + f.nameOff, f.nameLen}; }
    std::string_view Value(const FieldRef &f) const { return {m_Base + f.valueOff, f.valueLen}; }

    virtual const ByteSource &Source() const = 0;

    // The damage met so far, in file order.
    const Diagnostics &Diagnosed() const { return m_Diagnostics; }

protected:
    // Counts one piece of damage; makeMessage() gives its text, asked for
    // only while the list still keeps texts.
    template <typename MakeMessage>
    void Diagnose(uint64_t offset, MakeMessage makeMessage)
    {
        ++m_Diagnostics.count;
        if (m_Diagnostics.kept.size() < Diagnostics::kKept)
            m_Diagnostics.kept.push_back({offset, makeMessage()});
    }

    void ClearFields() { m_Fields.clear(); }

    std::vector<FieldRef> m_Fields;
    const char *m_Base = nullptr; // where the current record's offsets count from; set by Next()

private:
    Diagnostics m_Diagnostics;
};

} // namespace adif

#pragma once

#include "ByteSource.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace adif {

// One field of the current record: name and value as byte ranges relative
// to the parser's Base(). Nothing is decoded until a caller asks.
struct FieldRef {
    size_t nameOff;
    size_t nameLen;
    size_t valueOff;
    size_t valueLen;
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

protected:
    std::vector<FieldRef> m_Fields;
    const char *m_Base = nullptr; // where the current record's offsets count from; set by Next()
};

} // namespace adif

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteSource.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace adif {

// The bytes of a source from a mark on, read in chunks into one buffer: the
// ADI parser marks the start of its current record, the line reader the
// start of its current line. A refill drops what lies before the mark, so
// memory holds what is still needed and never more than `most` bytes from
// the mark.
class ChunkBuffer {
public:
    ChunkBuffer(std::unique_ptr<ByteSource> source, size_t chunk, size_t most);

    // The bytes held from the mark on.
    const char *Data() const { return m_Buf.get() + m_Mark; }
    size_t Size() const { return m_End - m_Mark; }
    // The file offset of Data()[0].
    uint64_t Offset() const { return m_Offset + m_Mark; }
    // Moves the mark n bytes on, at most Size().
    void Advance(size_t n) { m_Mark += n; }
    // `most` bytes are held: Fill reads no more.
    bool Full() const { return Size() >= m_Most; }
    // Reads more bytes after those held; false at the end of the data or when Full().
    bool Fill();

    const ByteSource &Source() const { return *m_Source; }

private:
    std::unique_ptr<ByteSource> m_Source;
    std::unique_ptr<char[]> m_Buf;
    size_t m_Cap = 0;
    size_t m_Chunk;
    size_t m_Most;
    size_t m_Mark = 0;     // buffer index of the mark
    size_t m_End = 0;      // buffer index past the last byte read
    uint64_t m_Offset = 0; // file offset of m_Buf[0]
    bool m_SourceDone = false;
};

} // namespace adif

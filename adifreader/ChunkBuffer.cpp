// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChunkBuffer.h"

#include <algorithm>
#include <cstring>

namespace adif {

namespace {

constexpr size_t kFirstBuffer = 16 * 1024; // small inputs never pay for a full chunk

} // namespace

ChunkBuffer::ChunkBuffer(std::unique_ptr<ByteSource> source, size_t chunk, size_t most)
    : m_Source(std::move(source)), m_Chunk(chunk), m_Most(most)
{
}

bool ChunkBuffer::Fill()
{
    if (m_SourceDone || Full())
        return false;
    if (m_Mark > 0) {
        std::memmove(m_Buf.get(), m_Buf.get() + m_Mark, Size());
        m_Offset += m_Mark;
        m_End -= m_Mark;
        m_Mark = 0;
    }
    size_t want = m_Cap ? m_Cap : std::min(kFirstBuffer, m_Chunk);
    if (m_Cap && m_Cap < m_Chunk && m_Offset + m_End >= m_Cap)
        want = m_Chunk; // the first buffer was not enough: a real file
    if (m_End > want - want / 4) {
        // What is held fills most of the buffer. Refilling the little left
        // would move it once for every few bytes read (a damaged length
        // looks far ahead of each small record): a larger one.
        want = std::min(want * 2, 2 * m_Most);
    }
    if (want != m_Cap) {
        std::unique_ptr<char[]> grown(new char[want]); // no zeroing: every byte is read before use
        if (m_End)
            std::memcpy(grown.get(), m_Buf.get(), m_End);
        m_Buf = std::move(grown);
        m_Cap = want;
    }
    const size_t n = m_Source->Read(m_Buf.get() + m_End, std::min(m_Cap, m_Most) - m_End);
    m_SourceDone = n == 0;
    m_End += n;
    return n > 0;
}

} // namespace adif

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChunkBuffer.h"
#include "RecordParser.h"

#include <cstdint>
#include <memory>

namespace adif {

// Streaming reader of the ADI (tagged text) form. The bytes of the current
// record stay in one buffer that is refilled in chunks; earlier records are
// dropped, so memory does not grow with the file.
//
// Declared lengths are not to be trusted: writers count UTF-8 characters
// instead of bytes, and multi-line values often still count CR LF after the
// file went to bare LF. A length is read as bytes when that ends at a
// boundary (blanks, then '<' or the end of the data); otherwise the first of
// the readings "characters", "CR LF as two", "both" that ends at a boundary
// wins (while the readings walked in a record stay within several times its
// size, and those walked past the record's <EOR> within several times the
// bytes of the file read so far, so that neither overlapping lengths nor
// many records of long, wrong lengths can make it quadratic). Failing all,
// the length is damaged: when its bytes would swallow a
// well-formed tag, or run past the end of the data with one after the value,
// the value ends before that tag; else the bytes stand. Each such recovery,
// and each record lost to the end of the data, is a diagnostic.
//
// Header: everything before an <EOH> that precedes the first record. With no
// <EOH>, there is no header. A final record without <EOR> counts when it has
// whole fields; a file ending inside a field drops that record.
class AdiParser final : public RecordParser {
public:
    static constexpr size_t kChunk = size_t(1) << 20;
    // Largest record (its bytes from the first tag to <EOR>) that is held;
    // a longer one is an error rather than an unbounded allocation. The
    // buffer that holds it may grow to twice that, so that a record filling
    // most of it is not moved again for every few bytes read.
    static constexpr size_t kMaxRecord = size_t(16) << 20;

    explicit AdiParser(std::unique_ptr<ByteSource> source, size_t chunk = kChunk, size_t maxRecord = kMaxRecord);

    bool Next() override;
    const ByteSource &Source() const override { return m_Bytes.Source(); }

private:
    struct Tag {
        enum Kind { NotATag, Truncated, TruncatedSpecifier, Plain, Specifier } kind = NotATag;
        size_t nameOff = 0;
        size_t nameLen = 0;
        uint64_t length = 0;
        size_t end = 0; // just past '>'
    };

    bool ReadRecord();
    bool FindTagStart(size_t &p);
    void ParseTag(size_t p, Tag &tag);
    bool TakeValue(const Tag &tag, size_t &next);
    bool OtherReading(size_t start, uint64_t length, bool bytesFit, size_t &end, size_t &next);
    bool TakeValueBeyondLimit(const Tag &tag, size_t &next);
    bool FindWellFormedTag(size_t from, size_t to, size_t &at);
    bool AtBoundary(size_t pos, size_t &next);
    bool Walk(size_t start, uint64_t length, bool characters, bool crlf, size_t &end);
    bool OpensEor(size_t p);
    uint64_t FarWalkLeft() const;
    void SkipHugeValue(size_t start, uint64_t length);
    [[noreturn]] void TooLarge(uint64_t recordAt);
    void AddField(const Tag &tag, size_t start, size_t end);

    QString DeclaredLength(const Tag &tag) const;
    void ReportCut(const Tag &tag, size_t swallowed, const char *why);
    void ReportDropped(uint64_t at, const QString &declared);
    void ReportFileEndsInTag(size_t p);
    uint64_t FileOffset(size_t p) const { return m_Bytes.Offset() + p; }

    // The current record's bytes: positions count from its start.
    const char *Data() const { return m_Bytes.Data(); }
    size_t Avail() const { return m_Bytes.Size(); }
    unsigned char At(size_t p) const { return static_cast<unsigned char>(Data()[p]); }
    bool Fill();
    bool FillTo(size_t p);
    // Makes the byte at position p available; false at the end of the data.
    bool Have(size_t p) { return p < Avail() || FillTo(p); }

    size_t m_MaxRecord;
    ChunkBuffer m_Bytes; // marked at the start of the current record
    size_t m_Resume = 0;   // position where the next record begins
    uint64_t m_Walked = 0; // bytes walked by other readings of lengths in the current record
    uint64_t m_FarWalked = 0; // bytes those readings walked past the end of their record, in the whole file
    uint64_t m_BlanksFrom = 0, m_BlanksTo = 0; // file offsets of the last long run of blanks scanned
    bool m_Done = false;
    bool m_Delivered = false;
};

} // namespace adif

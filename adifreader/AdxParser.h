// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecordParser.h"

#include <QStringDecoder>
#include <QXmlStreamReader>
#include <memory>
#include <string>

namespace adif {

// Reader of the ADX (XML) form, fed in chunks. Field names follow ADI:
// APP_<PROGRAMID>_<FIELDNAME> for APP elements, FIELDNAME for USERDEF ones.
// The text is UTF-8, as ADX requires, whatever the XML declaration says; it
// is decoded here, so bytes that are not UTF-8 are met where they stand and
// not wherever a chunk's decoding happens to reach. Malformed or truncated
// XML, or bytes that are not UTF-8, end the data: the records before stand,
// the record cut is not delivered, and the error is a diagnostic whose
// offset counts characters as the XML reader does. Reading stops at the end
// of the root element.
class AdxParser final : public RecordParser {
public:
    static constexpr size_t kChunk = 64 * 1024;

    AdxParser(std::unique_ptr<ByteSource> source, size_t chunk, size_t maxRecord);

    bool Next() override;
    const ByteSource &Source() const override { return *m_Source; }

private:
    bool Feed();
    void StartField();
    void CheckRecordSize();
    void ReportError();

    enum class State { Outside, Header, Record, Field };

    std::unique_ptr<ByteSource> m_Source;
    QXmlStreamReader m_Xml;
    size_t m_Chunk;
    size_t m_MaxRecord;
    QByteArray m_Pending;     // read, not yet given to the XML reader: a character cut by a chunk's end
    QStringDecoder m_Utf8{QStringDecoder::Utf8}; // one decoder for the whole file: only its first byte-order mark goes
    uint64_t m_BytesFed = 0;  // bytes given to the XML reader, as text
    uint64_t m_TextFed = 0;   // the characters that text came to, counted as the XML reader does
    bool m_NotUtf8 = false;   // met bytes that are not UTF-8 after m_BytesFed
    std::string m_Arena; // names and values of the current record
    State m_State = State::Outside;
    int m_Depth = 0;
    int m_StateDepth = 0; // depth of the element that set the state
    int m_RecordDepth = 0;
    bool m_Done = false;
};

} // namespace adif

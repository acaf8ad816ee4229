#pragma once

#include "RecordParser.h"

#include <QXmlStreamReader>
#include <memory>
#include <string>

namespace adif {

// Reader of the ADX (XML) form, fed in chunks. Field names follow ADI:
// APP_<PROGRAMID>_<FIELDNAME> for APP elements, FIELDNAME for USERDEF ones.
// Malformed or truncated XML ends the data; the record it cut is not delivered.
class AdxParser final : public RecordParser {
public:
    explicit AdxParser(std::unique_ptr<ByteSource> source);

    bool Next() override;
    const ByteSource &Source() const override { return *m_Source; }

private:
    bool Feed();
    void StartField();

    enum class State { Outside, Header, Record, Field };

    std::unique_ptr<ByteSource> m_Source;
    QXmlStreamReader m_Xml;
    std::string m_Arena; // names and values of the current record
    State m_State = State::Outside;
    int m_Depth = 0;
    int m_StateDepth = 0; // depth of the element that set the state
    int m_RecordDepth = 0;
    bool m_Done = false;
};

} // namespace adif

// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdxParser.h"

#include "ReaderError.h"
#include "Text.h"

#include <QByteArray>
#include <algorithm>

namespace adif {

namespace {

bool Is(QStringView name, QLatin1StringView what) { return name.compare(what, Qt::CaseInsensitive) == 0; }

QString Attribute(const QXmlStreamAttributes &attributes, QLatin1StringView name)
{
    for (const QXmlStreamAttribute &a : attributes)
        if (Is(a.name(), name))
            return a.value().toString();
    return QString();
}

} // namespace

AdxParser::AdxParser(std::unique_ptr<ByteSource> source, size_t chunk, size_t maxRecord)
    : m_Source(std::move(source)), m_Chunk(std::max<size_t>(chunk, 1)),
      m_MaxRecord(std::min(maxRecord, kMaxRecordLimit))
{
}

bool AdxParser::Feed()
{
    QByteArray chunk(static_cast<qsizetype>(m_Chunk), Qt::Uninitialized);
    while (!m_NotUtf8) {
        const size_t n = m_Source->Read(chunk.data(), m_Chunk);
        if (n == 0) {
            m_NotUtf8 = !m_Pending.isEmpty(); // the file ends inside a character
            return false;
        }
        m_Pending.append(chunk.constData(), static_cast<qsizetype>(n));
        bool cutShort = false;
        const size_t valid = text::ValidUtf8Prefix(std::string_view(m_Pending.constData(), static_cast<size_t>(m_Pending.size())), cutShort);
        m_NotUtf8 = valid < static_cast<size_t>(m_Pending.size()) && !cutShort;
        if (valid > 0) {
            const QString text = m_Utf8(QByteArrayView(m_Pending.constData(), static_cast<qsizetype>(valid)));
            m_Xml.addData(text);
            m_Pending.remove(0, static_cast<qsizetype>(valid));
            m_BytesFed += valid;
            m_TextFed += static_cast<uint64_t>(text.size());
            return true;
        }
    }
    return false;
}

void AdxParser::StartField()
{
    QString name;
    const QStringView element = m_Xml.name();
    if (Is(element, QLatin1StringView("APP"))) {
        const QXmlStreamAttributes a = m_Xml.attributes();
        name = QStringLiteral("APP_") + Attribute(a, QLatin1StringView("PROGRAMID")) + QLatin1Char('_')
               + Attribute(a, QLatin1StringView("FIELDNAME"));
    } else if (Is(element, QLatin1StringView("USERDEF"))) {
        name = Attribute(m_Xml.attributes(), QLatin1StringView("FIELDNAME"));
    } else {
        name = element.toString();
    }
    const QByteArray bytes = name.toUtf8();
    const size_t nameOff = m_Arena.size();
    m_Arena.append(bytes.constData(), static_cast<size_t>(bytes.size()));
    CheckRecordSize();
    m_Fields.push_back(FieldRef::At(nameOff, static_cast<size_t>(bytes.size()), m_Arena.size(), 0));
}

void AdxParser::CheckRecordSize()
{
    if (m_Arena.size() <= m_MaxRecord)
        return;
    m_Done = true;
    ClearFields();
    m_Arena.clear();
    throw ReaderError(ReaderError::Kind::RecordTooLong, QStringLiteral("a record is longer than %1 bytes").arg(m_MaxRecord),
                      m_Source->Name());
}

void AdxParser::ReportError()
{
    // Where the text ran out, the XML reader's own offset depends on how it
    // came in pieces: the end of the text is the place.
    const bool ranOut = m_Xml.error() == QXmlStreamReader::PrematureEndOfDocumentError;
    Diagnose(ranOut ? m_TextFed : static_cast<uint64_t>(m_Xml.characterOffset()), [this, ranOut] {
        if (m_NotUtf8 && ranOut)
            return QStringLiteral("the file is not UTF-8 from byte %1 on. It is read up to there.").arg(m_BytesFed);
        // No column: the XML reader counts it differently when its input came in pieces.
        return QStringLiteral("XML error on line %1: %2 The file is read up to here.")
            .arg(m_Xml.lineNumber())
            .arg(m_Xml.errorString());
    });
}

bool AdxParser::Next()
{
    ClearFields();
    m_Arena.clear();
    while (!m_Done) {
        const QXmlStreamReader::TokenType token = m_Xml.readNext();
        switch (token) {
        case QXmlStreamReader::Invalid:
            if (m_Xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && Feed())
                continue;
            ReportError();
            m_Done = true;
            break;
        case QXmlStreamReader::EndDocument:
            m_Done = true;
            break;
        case QXmlStreamReader::StartElement:
            ++m_Depth;
            if (m_State == State::Record) {
                StartField();
                m_State = State::Field;
                m_StateDepth = m_Depth;
            } else if (m_State == State::Outside) {
                if (Is(m_Xml.name(), QLatin1StringView("HEADER"))) {
                    m_State = State::Header;
                    m_StateDepth = m_Depth;
                } else if (Is(m_Xml.name(), QLatin1StringView("RECORD"))) {
                    m_State = State::Record;
                    m_RecordDepth = m_Depth;
                }
            }
            break;
        case QXmlStreamReader::EndElement: {
            const bool recordEnds = m_State == State::Record && m_Depth == m_RecordDepth;
            if (m_State == State::Field && m_Depth == m_StateDepth) {
                FieldRef &f = m_Fields.back();
                f.valueLen = static_cast<uint32_t>(m_Arena.size() - f.valueOff);
                m_State = State::Record;
            } else if (recordEnds) {
                m_State = State::Outside;
            } else if (m_State == State::Header && m_Depth == m_StateDepth) {
                m_State = State::Outside;
            }
            // Whatever follows the root element is no part of the file; how
            // much of it the XML reader would look at depends on the chunks.
            m_Done = --m_Depth == 0;
            if (recordEnds) {
                if (!m_Fields.empty()) {
                    m_Base = m_Arena.data();
                    return true;
                }
                m_Arena.clear();
            }
            break;
        }
        case QXmlStreamReader::Characters:
            if (m_State == State::Field) {
                const QByteArray bytes = m_Xml.text().toUtf8();
                m_Arena.append(bytes.constData(), static_cast<size_t>(bytes.size()));
                CheckRecordSize();
            }
            break;
        default:
            break;
        }
    }
    ClearFields();
    m_Arena.clear();
    return false;
}

} // namespace adif

#include "AdxParser.h"

#include "AdiParser.h"
#include "RuntimeError.h"

#include <QByteArray>

namespace adif {

namespace {

constexpr size_t kXmlChunk = 64 * 1024;

bool Is(QStringView name, QLatin1StringView what) { return name.compare(what, Qt::CaseInsensitive) == 0; }

QString Attribute(const QXmlStreamAttributes &attributes, QLatin1StringView name)
{
    for (const QXmlStreamAttribute &a : attributes)
        if (Is(a.name(), name))
            return a.value().toString();
    return QString();
}

} // namespace

AdxParser::AdxParser(std::unique_ptr<ByteSource> source) : m_Source(std::move(source)) {}

bool AdxParser::Feed()
{
    QByteArray chunk(static_cast<qsizetype>(kXmlChunk), Qt::Uninitialized);
    const size_t n = m_Source->Read(chunk.data(), kXmlChunk);
    if (n == 0)
        return false;
    chunk.truncate(static_cast<qsizetype>(n));
    m_Xml.addData(chunk);
    return true;
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
    const QByteArray bytes = name.toUpper().toUtf8();
    FieldRef f{};
    f.nameOff = m_Arena.size();
    f.nameLen = static_cast<size_t>(bytes.size());
    m_Arena.append(bytes.constData(), f.nameLen);
    f.valueOff = m_Arena.size();
    m_Fields.push_back(f);
}

bool AdxParser::Next()
{
    m_Fields.clear();
    m_Arena.clear();
    while (!m_Done) {
        const QXmlStreamReader::TokenType token = m_Xml.readNext();
        switch (token) {
        case QXmlStreamReader::Invalid:
            if (m_Xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && Feed())
                continue;
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
        case QXmlStreamReader::EndElement:
            if (m_State == State::Field && m_Depth == m_StateDepth) {
                FieldRef &f = m_Fields.back();
                f.valueLen = m_Arena.size() - f.valueOff;
                m_State = State::Record;
            } else if (m_State == State::Record && m_Depth == m_RecordDepth) {
                m_State = State::Outside;
                --m_Depth;
                if (!m_Fields.empty()) {
                    m_Base = m_Arena.data();
                    return true;
                }
                m_Arena.clear();
                break;
            } else if (m_State == State::Header && m_Depth == m_StateDepth) {
                m_State = State::Outside;
            }
            --m_Depth;
            break;
        case QXmlStreamReader::Characters:
            if (m_State == State::Field) {
                const QByteArray bytes = m_Xml.text().toUtf8();
                m_Arena.append(bytes.constData(), static_cast<size_t>(bytes.size()));
                if (m_Arena.size() > AdiParser::kMaxRecord) {
                    m_Done = true;
                    m_Fields.clear();
                    m_Arena.clear();
                    throw RuntimeError::FileError(m_Source->Name(),
                                                  QStringLiteral("a record is longer than %1 bytes")
                                                      .arg(AdiParser::kMaxRecord));
                }
            }
            break;
        default:
            break;
        }
    }
    m_Fields.clear();
    m_Arena.clear();
    return false;
}

} // namespace adif

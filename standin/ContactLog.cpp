// SPDX-License-Identifier: GPL-3.0-or-later
#include "ContactLog.h"

#include "AdifReader.h"
#include "BadInput.h"
#include "ReaderError.h"

#include <QFile>
#include <QRegularExpression>

#include <cmath>

namespace {

struct BandEdges {
    const char *name;
    double lowKhz;
    double highKhz;
};

// ADIF band edges, kHz.
constexpr BandEdges kBands[] = {
    {"2190m", 135.7, 137.8},       {"630m", 472, 479},
    {"160m", 1800, 2000},          {"80m", 3500, 4000},
    {"60m", 5060, 5450},           {"40m", 7000, 7300},
    {"30m", 10100, 10150},         {"20m", 14000, 14350},
    {"17m", 18068, 18168},         {"15m", 21000, 21450},
    {"12m", 24890, 24990},         {"10m", 28000, 29700},
    {"6m", 50000, 54000},          {"4m", 70000, 71000},
    {"2m", 144000, 148000},        {"1.25m", 222000, 225000},
    {"70cm", 420000, 450000},      {"33cm", 902000, 928000},
    {"23cm", 1240000, 1300000},    {"13cm", 2300000, 2450000},
    {"9cm", 3300000, 3500000},     {"6cm", 5650000, 5925000},
    {"3cm", 10000000, 10500000},   {"1.25cm", 24000000, 24250000},
};

const BandEdges *FindBand(const QString &name)
{
    for (const BandEdges &band : kBands) {
        if (name.compare(QLatin1String(band.name), Qt::CaseInsensitive) == 0)
            return &band;
    }
    return nullptr;
}

// The mode code a host sends for an ADIF mode: sideband by the frequency.
int ModeCodeOf(const QString &adifMode, double mhz)
{
    if (adifMode == QLatin1String("SSB"))
        return mhz > 10.0 ? Mode::kUsb : Mode::kLsb;
    if (adifMode == QLatin1String("CW"))
        return Mode::kCw;
    if (adifMode == QLatin1String("RTTY"))
        return Mode::kRtty;
    if (adifMode == QLatin1String("AM"))
        return Mode::kAm;
    if (adifMode == QLatin1String("FM"))
        return Mode::kFm;
    return Mode::kNone;
}

bool LooksLikeAdif(const QByteArray &content)
{
    const QByteArray lower = content.toLower();
    return lower.contains("<eor>") || lower.contains("<adx");
}

} // namespace

bool Mode::IsValid(int code)
{
    return code >= kNone && code <= kRtty;
}

QString Mode::Label(int code)
{
    switch (code) {
    case kLsb: return QStringLiteral("LSB");
    case kUsb: return QStringLiteral("USB");
    case kCw: return QStringLiteral("CW");
    case kFm: return QStringLiteral("FM");
    case kAm: return QStringLiteral("AM");
    case kRtty: return QStringLiteral("RTTY");
    default: return QString();
    }
}

QString Mode::AdifMode(int code)
{
    return (code == kLsb || code == kUsb) ? QStringLiteral("SSB") : Label(code);
}

QString Mode::AdifSubmode(int code)
{
    return (code == kLsb || code == kUsb) ? Label(code) : QString();
}

QString Band::FromKhz(double khz)
{
    for (const BandEdges &band : kBands) {
        if (khz >= band.lowKhz && khz <= band.highKhz)
            return QString::fromLatin1(band.name);
    }
    return QString();
}

bool Band::IsFrequency(double khz)
{
    return std::isfinite(khz) && khz >= 0;
}

bool Band::IsName(const QString &text)
{
    return FindBand(text) != nullptr;
}

double Band::LowerEdgeKhz(const QString &name)
{
    const BandEdges *band = FindBand(name);
    return band ? band->lowKhz : 0;
}

void ContactLog::Add(const Contact &contact)
{
    m_Contacts.append(contact);
    m_DupeKeys.insert(DupeKey(contact.call, contact.band, contact.mode));
}

bool ContactLog::Contains(const QString &call, const QString &band, int mode) const
{
    return m_DupeKeys.contains(DupeKey(call, band, mode));
}

// Band and mode first: neither holds the separator, so no two contacts share a key by accident.
QString ContactLog::DupeKey(const QString &call, const QString &band, int mode)
{
    return band + QLatin1Char('|') + QString::number(mode) + QLatin1Char('|') + call.trimmed().toCaseFolded();
}

void ContactLog::PreloadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw BadInput(QStringLiteral("cannot read the preload file %1: %2").arg(path, file.errorString()));
    const QByteArray content = file.readAll();
    if (LooksLikeAdif(content))
        PreloadAdif(path);
    else
        PreloadText(QString::fromUtf8(content), path);
}

// Read through the reader component itself, not through Ardenix's adapter to
// it: a fault in the adapter then shows in a run against the stand-in instead
// of hiding on both sides of it.
void ContactLog::PreloadAdif(const QString &path)
{
    AdifReader reader;
    const auto get = [&reader](AdifReader::DispatchId id, const QVariantList &args = {}) {
        return reader.Invoke(id, InvokeKind::PropertyGet, args);
    };
    try {
        reader.Invoke(AdifReader::kFileName, InvokeKind::PropertyPut, {path});
        while (reader.Invoke(AdifReader::kNextRecord, InvokeKind::Method, {}).toInt() != 0) {
            const double mhz = get(AdifReader::kFrequency).toDouble();
            Contact contact;
            contact.call = get(AdifReader::kFieldValue, {QStringLiteral("CALL")}).toString();
            contact.txKhz = mhz * 1000.0;
            contact.rxKhz = get(AdifReader::kSplitFrequency).toDouble() * 1000.0;
            contact.split = contact.rxKhz != contact.txKhz;
            contact.band = Band::FromKhz(contact.txKhz);
            contact.mode = ModeCodeOf(get(AdifReader::kMode).toString(), mhz);
            Add(contact);
        }
    } catch (const ReaderError &error) {
        throw BadInput(QString("cannot preload the ADIF log %1: %2").arg(path, error.message()));
    }
}

void ContactLog::PreloadText(const QString &text, const QString &sourceName)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        Add(ParsePreloadLine(line, QStringLiteral("%1 line %2").arg(sourceName).arg(i + 1)));
    }
}

Contact ContactLog::ParsePreloadLine(const QString &line, const QString &where)
{
    static const QRegularExpression separators(QStringLiteral("[\\t ]+"));
    const QStringList fields = line.split(separators);
    if (fields.size() != 3)
        throw BadInput(QStringLiteral("%1: expected call, band or kHz, and mode code, found %2 field(s)")
                           .arg(where)
                           .arg(fields.size()));

    Contact contact;
    contact.call = fields[0];

    bool isNumber = false;
    const double khz = fields[1].toDouble(&isNumber);
    if (isNumber && Band::IsFrequency(khz)) {
        contact.band = Band::FromKhz(khz);
        contact.txKhz = khz;
        contact.rxKhz = khz;
    } else if (Band::IsName(fields[1])) {
        contact.band = fields[1].toLower();
    } else {
        throw BadInput(QStringLiteral("%1: '%2' is neither a band such as 20m nor a frequency in kHz")
                           .arg(where, fields[1]));
    }

    contact.mode = fields[2].toInt(&isNumber);
    if (!isNumber || !Mode::IsValid(contact.mode))
        throw BadInput(QStringLiteral("%1: mode code '%2' is not one of 0 to 6").arg(where, fields[2]));
    return contact;
}

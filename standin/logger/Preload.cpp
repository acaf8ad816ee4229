// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/Preload.h"

#include "AdifReader.h"
#include "logger/BadInput.h"
#include "logger/Band.h"
#include "logger/ContactLog.h"
#include "logger/Mode.h"

#include <QFile>
#include <QRegularExpression>

namespace {

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

// Read through the reader component itself, not through Ardenix's adapter to
// it: a fault in the adapter then shows in a run against the stand-in instead
// of hiding on both sides of it.
void PreloadAdif(ContactLog &log, const QString &path)
{
    AdifReader reader;
    try {
        reader.Open(path);
        while (reader.NextRecord()) {
            const double mhz = reader.Frequency();
            Contact contact;
            contact.call = reader.FieldValue(QStringLiteral("CALL"));
            contact.txKhz = mhz * 1000.0;
            contact.rxKhz = reader.SplitFrequency() * 1000.0;
            contact.split = contact.rxKhz != contact.txKhz;
            contact.band = Band::FromKhz(contact.txKhz);
            contact.mode = ModeCodeOf(reader.Mode(), mhz);
            log.Add(contact);
        }
    } catch (const ReaderError &error) {
        throw BadInput(QString("cannot preload the ADIF log %1: %2").arg(path, error.message()));
    }
}

Contact ParseLine(const QString &line, const QString &where)
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
    } else if (const QString band = Band::NameOf(fields[1]); !band.isEmpty()) {
        contact.band = band;
    } else {
        throw BadInput(QStringLiteral("%1: '%2' is neither a band such as 20m nor a frequency in kHz")
                           .arg(where, fields[1]));
    }

    contact.mode = fields[2].toInt(&isNumber);
    if (!isNumber || !Mode::IsValid(contact.mode))
        throw BadInput(QStringLiteral("%1: mode code '%2' is not one of 0 to 6").arg(where, fields[2]));
    return contact;
}

} // namespace

void Preload::File(ContactLog &log, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw BadInput(QStringLiteral("cannot read the preload file %1: %2").arg(path, file.errorString()));
    const QByteArray content = file.readAll();
    if (LooksLikeAdif(content))
        PreloadAdif(log, path);
    else
        Text(log, QString::fromUtf8(content), path);
}

void Preload::Text(ContactLog &log, const QString &text, const QString &sourceName)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        log.Add(ParseLine(line, QStringLiteral("%1 line %2").arg(sourceName).arg(i + 1)));
    }
}

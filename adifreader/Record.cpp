// SPDX-License-Identifier: GPL-3.0-or-later
#include "Record.h"

#include "Bands.h"
#include "Text.h"

#include <algorithm>

namespace adif {

namespace {

// Digits only, exactly as many as given; -1 otherwise.
int Digits(std::string_view s)
{
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

int InRange(int v, int lo, int hi) { return v >= lo && v <= hi ? v : 0; }

} // namespace

Derived Derive(const RecordParser &record)
{
    // One pass over the fields; a later repeat replaces an earlier one.
    std::string_view date, time, freq, freqRx, band, mode;
    const struct {
        std::string_view name;
        std::string_view *value;
    } wanted[] = {{"QSO_DATE", &date}, {"TIME_ON", &time}, {"FREQ", &freq},
                  {"FREQ_RX", &freqRx}, {"BAND", &band}, {"MODE", &mode}};
    for (const FieldRef &f : record.Fields())
        for (const auto &w : wanted)
            if (text::EqualsNoCase(record.Name(f), w.name))
                *w.value = text::Trimmed(record.Value(f));

    Derived d;
    TimeStamp &t = d.time;

    // QSO_DATE is YYYYMMDD; a part out of its range reads as 0 on its own.
    if (date.size() == 8 && Digits(date) >= 0) {
        t.year = InRange(Digits(date.substr(0, 4)), 1, 9999);
        t.month = InRange(Digits(date.substr(4, 2)), 1, 12);
        t.day = InRange(Digits(date.substr(6, 2)), 1, t.month ? text::DaysInMonth(t.year ? t.year : 2000, t.month) : 31);
    }

    // TIME_ON is HHMM or HHMMSS.
    if ((time.size() == 4 || time.size() == 6) && Digits(time) >= 0) {
        t.hour = InRange(Digits(time.substr(0, 2)), 0, 23);
        t.minute = InRange(Digits(time.substr(2, 2)), 0, 59);
        if (time.size() == 6)
            t.second = InRange(Digits(time.substr(4, 2)), 0, 59);
    }

    if (auto value = text::ParseNumber(freq))
        d.frequency = *value;
    else if (const Band *known = FindBand(band))
        d.frequency = known->lowerMhz;
    const auto rx = text::ParseNumber(freqRx);
    d.splitFrequency = rx ? *rx : d.frequency;

    if (text::EqualsNoCase(mode, "USB") || text::EqualsNoCase(mode, "LSB"))
        d.mode = QStringLiteral("SSB"); // import-only modes: the sideband belongs in SUBMODE
    else
        d.mode = text::UpperName(mode); // upper case, as field names are
    return d;
}

FieldLookup::FieldLookup(const RecordParser &record) : m_Record(record)
{
    // Beyond this many fields, a look-up by key costs less than a scan, and
    // listing a record of any size stays linear in its size.
    constexpr size_t kMostScanned = 64;
    m_Scan = record.Fields().size() <= kMostScanned
             && std::all_of(record.Fields().begin(), record.Fields().end(),
                            [&](const FieldRef &f) { return text::IsAsciiBytes(record.Name(f)); });
}

QString FieldLookup::Value(QStringView name)
{
    if (m_Scan && text::IsAscii(name))
        return ScanAscii(name);
    if (!m_Indexed)
        BuildIndex();
    const QString key = text::LookupKey(name);
    const auto it = m_Last.constFind(QStringView(key));
    if (it == m_Last.constEnd())
        return QString();
    return text::Decode(m_Record.Value(m_Record.Fields()[it.value()]));
}

QStringList FieldLookup::Names()
{
    if (m_Scan)
        return ScanAsciiNames();
    if (!m_Indexed)
        BuildIndex();
    QStringList names;
    names.reserve(static_cast<qsizetype>(m_FirstOfKey.size()));
    for (uint32_t field : m_FirstOfKey)
        names.append(text::ReportedName(KeyOf(field)));
    return names;
}

// ASCII names against an ASCII name: their keys are equal exactly when the
// names are equal but for the letter case of A to Z.
QString FieldLookup::ScanAscii(QStringView name) const
{
    const auto &fields = m_Record.Fields();
    for (auto it = fields.rbegin(); it != fields.rend(); ++it) {
        if (static_cast<qsizetype>(it->nameLen) != name.size())
            continue;
        const std::string_view candidate = m_Record.Name(*it);
        bool same = true;
        for (size_t i = 0; same && i < candidate.size(); ++i)
            same = text::AsciiUpper(static_cast<unsigned char>(candidate[i]))
                   == text::AsciiUpper(static_cast<unsigned char>(name[static_cast<qsizetype>(i)].unicode()));
        if (same)
            return text::Decode(m_Record.Value(*it));
    }
    return QString();
}

// Few ASCII names: each is new unless an earlier one is equal but for the
// letter case of A to Z, and its key's upper case is its own.
QStringList FieldLookup::ScanAsciiNames() const
{
    const auto &fields = m_Record.Fields();
    QStringList names;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string_view name = m_Record.Name(fields[i]);
        bool seen = false;
        for (size_t j = 0; !seen && j < i; ++j)
            seen = text::EqualsNoCase(m_Record.Name(fields[j]), name);
        if (!seen)
            names.append(text::UpperName(name));
    }
    return names;
}

void FieldLookup::BuildIndex()
{
    // All keys go into one text first, so the views into it stay valid.
    const auto &fields = m_Record.Fields();
    size_t nameBytes = 0;
    for (const FieldRef &f : fields)
        nameBytes += f.nameLen;
    m_Keys.reserve(static_cast<qsizetype>(nameBytes));
    m_KeyEnds.reserve(fields.size());
    for (const FieldRef &f : fields) {
        m_Keys += text::NameKey(m_Record.Name(f));
        m_KeyEnds.push_back(static_cast<uint32_t>(m_Keys.size()));
    }
    m_Last.reserve(static_cast<qsizetype>(fields.size()));
    for (uint32_t i = 0; i < m_KeyEnds.size(); ++i) {
        const qsizetype before = m_Last.size();
        m_Last[KeyOf(i)] = i; // a later repeat replaces an earlier one
        if (m_Last.size() != before)
            m_FirstOfKey.push_back(i);
    }
    m_Indexed = true;
}

QStringView FieldLookup::KeyOf(size_t field) const
{
    const uint32_t begin = field ? m_KeyEnds[field - 1] : 0;
    return QStringView(m_Keys).mid(begin, m_KeyEnds[field] - begin);
}

} // namespace adif

#include "Record.h"

#include "Text.h"

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

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

Derived Derive(const RecordParser &record, ModeCache &cache)
{
    // One pass over the fields; a later repeat replaces an earlier one.
    std::string_view date, time, freq, freqRx, band, mode;
    for (const FieldRef &f : record.Fields()) {
        const std::string_view name = record.Name(f);
        std::string_view *slot = nullptr;
        switch (name.size()) {
        case 4:
            slot = text::EqualsNoCase(name, "FREQ") ? &freq
                 : text::EqualsNoCase(name, "BAND") ? &band
                 : text::EqualsNoCase(name, "MODE") ? &mode
                                                    : nullptr;
            break;
        case 7:
            slot = text::EqualsNoCase(name, "TIME_ON") ? &time : text::EqualsNoCase(name, "FREQ_RX") ? &freqRx : nullptr;
            break;
        case 8:
            slot = text::EqualsNoCase(name, "QSO_DATE") ? &date : nullptr;
            break;
        default:
            break;
        }
        if (slot)
            *slot = text::Trimmed(record.Value(f));
    }

    Derived d;

    // QSO_DATE is YYYYMMDD; a part out of its range reads as 0 on its own.
    if (date.size() == 8 && Digits(date) >= 0) {
        d.year = InRange(Digits(date.substr(0, 4)), 1, 9999);
        d.month = InRange(Digits(date.substr(4, 2)), 1, 12);
        d.day = InRange(Digits(date.substr(6, 2)), 1, d.month ? DaysInMonth(d.year ? d.year : 2000, d.month) : 31);
    }

    // TIME_ON is HHMM or HHMMSS.
    if ((time.size() == 4 || time.size() == 6) && Digits(time) >= 0) {
        d.hour = InRange(Digits(time.substr(0, 2)), 0, 23);
        d.minute = InRange(Digits(time.substr(2, 2)), 0, 59);
        if (time.size() == 6)
            d.second = InRange(Digits(time.substr(4, 2)), 0, 59);
    }

    if (auto value = text::ParseNumber(freq))
        d.frequency = *value;
    else if (auto edge = text::BandLowerEdge(band))
        d.frequency = *edge;
    const auto rx = text::ParseNumber(freqRx);
    d.splitFrequency = rx ? *rx : d.frequency;

    if (mode != cache.written) {
        cache.written.assign(mode);
        if (text::EqualsNoCase(mode, "USB") || text::EqualsNoCase(mode, "LSB"))
            cache.mode = QStringLiteral("SSB"); // import-only modes: the sideband belongs in SUBMODE
        else
            cache.mode = text::UpperName(mode); // upper case, as field names are
    }
    d.mode = cache.mode;
    return d;
}

QString FieldValue(const RecordParser &record, QStringView name)
{
    const bool ascii = text::IsAscii(name);
    const auto &fields = record.Fields();
    for (auto it = fields.rbegin(); it != fields.rend(); ++it) {
        // Most names differ in length; only compare those that do not.
        if (ascii && static_cast<qsizetype>(it->nameLen) != name.size())
            continue;
        if (text::NameMatches(record.Name(*it), name, ascii))
            return text::Decode(record.Value(*it));
    }
    return QString();
}

} // namespace adif

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// Mode codes of SetLogFrequencyEx.
namespace Mode {
constexpr int kNone = 0;
constexpr int kLsb = 1;
constexpr int kUsb = 2;
constexpr int kCw = 3;
constexpr int kFm = 4;
constexpr int kAm = 5;
constexpr int kRtty = 6;

bool IsValid(int code);
QString Label(int code);        // as the window shows it: "LSB", "CW", "" for none
QString AdifMode(int code);     // ADIF MODE: "SSB" for both sidebands
QString AdifSubmode(int code);  // ADIF SUBMODE: "LSB"/"USB", else ""
} // namespace Mode

// Amateur bands by ADIF band name. A frequency outside every band has the
// empty band, which counts as a band of its own for dupes.
namespace Band {
QString FromKhz(double khz);
bool IsFrequency(double khz);      // a finite number of kHz, 0 or more
bool IsName(const QString &text);  // "20m", "70CM", ...
double LowerEdgeKhz(const QString &name);  // 0 for a name that is no band
} // namespace Band

struct Contact {
    QString call;
    QString band;
    int mode = Mode::kNone;
    double rxKhz = 0;
    double txKhz = 0;
    bool split = false;
    QStringList values;     // one per column; empty for a preloaded contact
    QDateTime loggedUtc;    // invalid for a preloaded contact
};

// The contacts logged so far, and the dupe check against them. Both adding
// and the dupe check take the same time however long the log is.
class ContactLog {
public:
    void Add(const Contact &contact);
    int Count() const { return int(m_Contacts.size()); }
    const Contact &At(int index) const { return m_Contacts[index]; }

    // True when a contact with this call (trimmed, any case), band and mode is logged.
    bool Contains(const QString &call, const QString &band, int mode) const;

    // Preload file: one contact a line, call, band (name or kHz) and mode code
    // separated by tabs or spaces; '#' starts a comment line.
    // Throws BadInput naming the file and line of the first bad line.
    // An ADIF log (told by its <EOR> or <ADX> tags) preloads the call, band
    // and mode of each of its records instead.
    void PreloadFile(const QString &path);
    void PreloadText(const QString &text, const QString &sourceName);
    void PreloadAdif(const QString &path);

private:
    static Contact ParsePreloadLine(const QString &line, const QString &where);
    static QString DupeKey(const QString &call, const QString &band, int mode);

    QList<Contact> m_Contacts;
    QSet<QString> m_DupeKeys;
};

#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// Mode codes of SetLogFrequencyEx.
namespace Mode {
constexpr int None = 0;
constexpr int Lsb = 1;
constexpr int Usb = 2;
constexpr int Cw = 3;
constexpr int Fm = 4;
constexpr int Am = 5;
constexpr int Rtty = 6;

bool isValid(int code);
QString label(int code);        // as the window shows it: "LSB", "CW", "" for none
QString adifMode(int code);     // ADIF MODE: "SSB" for both sidebands
QString adifSubmode(int code);  // ADIF SUBMODE: "LSB"/"USB", else ""
} // namespace Mode

// Amateur bands by ADIF band name. A frequency outside every band has the
// empty band, which counts as a band of its own for dupes.
namespace Band {
QString fromKhz(double khz);
bool isFrequency(double khz);      // a finite number of kHz, 0 or more
bool isName(const QString &text);  // "20m", "70CM", ...
} // namespace Band

struct Contact {
    QString call;
    QString band;
    int mode = Mode::None;
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
    void add(const Contact &contact);
    int count() const { return int(m_Contacts.size()); }
    const Contact &at(int index) const { return m_Contacts[index]; }

    // True when a contact with this call (trimmed, any case), band and mode is logged.
    bool contains(const QString &call, const QString &band, int mode) const;

    // Preload file: one contact a line, call, band (name or kHz) and mode code
    // separated by tabs or spaces; '#' starts a comment line.
    // Throws BadInput naming the file and line of the first bad line.
    // An ADIF log (told by its <EOR> or <ADX> tags) preloads the call, band
    // and mode of each of its records instead.
    void preloadFile(const QString &path);
    void preloadText(const QString &text, const QString &sourceName);
    void preloadAdif(const QString &path);

private:
    static Contact parsePreloadLine(const QString &line, const QString &where);
    static QString dupeKey(const QString &call, const QString &band, int mode);

    QList<Contact> m_Contacts;
    QSet<QString> m_DupeKeys;
};

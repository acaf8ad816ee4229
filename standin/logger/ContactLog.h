// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logger/Mode.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

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

private:
    static QString DupeKey(const QString &call, const QString &band, int mode);

    QList<Contact> m_Contacts;
    QSet<QString> m_DupeKeys;
};

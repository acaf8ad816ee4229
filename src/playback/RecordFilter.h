// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QString>
#include <optional>

// Which records of a log a playback replays: every record, or only those
// whose field Field (named in any letter case) holds exactly Value. One
// station of a multi-transmitter log is the records of its transmitter
// number ("--only" and the "Station" choice).
struct RecordFilter {
    // The field in which the reader gives a Cabrillo contact's transmitter.
    static inline const QString kTransmitterField = QStringLiteral("APP_ARDENIX_TRANSMITTER");

    QString Field; // empty: every record
    QString Value;

    bool IsAll() const { return Field.isEmpty(); }
    // Whether the reader's current record is one to replay (of any reader
    // that looks a field up by name).
    template <typename Reader>
    bool Matches(Reader &reader) const
    {
        return IsAll() || reader.FieldValue(Field) == Value;
    }
    // The transmitter number when this is one station of a multi-transmitter
    // log, else empty.
    QString Transmitter() const;
    // What a user reads: "Station 1", or "OPERATOR=K1ABC"; empty for all.
    QString Caption() const;

    // The station with transmitter number transmitter.
    static RecordFilter Station(const QString &transmitter);
    // FIELD=VALUE as --only takes it: an ADIF field name (letters, digits,
    // underscores) and a value that is not empty; nothing for anything else.
    static std::optional<RecordFilter> FromText(const QString &text);

    bool operator==(const RecordFilter &other) const = default;
};

Q_DECLARE_METATYPE(RecordFilter)

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Record.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <cstdint>
#include <memory>
#include <optional>

namespace adif {
class ByteSource;
class RecordParser;
} // namespace adif

enum class InvokeKind { Method, PropertyGet, PropertyPut };

// The ADIF reader: an ADI, ADX or Cabrillo log read one record at a time.
// Open a log, step with NextRecord(), and ask about the current record.
// With no record current (before the first NextRecord(), after the last,
// or with no log open) the record's values are 0, 0.0 and empty text. The
// one error it raises is a ReaderError: a log that cannot be opened or
// read, or a record longer than it holds.
class AdifReader {
public:
    AdifReader();
    ~AdifReader();
    AdifReader(const AdifReader &) = delete;
    AdifReader &operator=(const AdifReader &) = delete;

    // Opens the log at path (told ADI, ADX or Cabrillo by its content),
    // before its first record; an empty path leaves no log open. A log
    // that cannot be opened raises a FileError naming it, and leaves no log
    // open. Opening again starts over.
    void Open(const QString &path);

    // Opens bytes in memory as Open() opens a file; errors name "(memory)".
    // The data is shared, not copied. chunkBytes other than 0 sets the read
    // chunk size, so tests and the fuzzer can force refills on small inputs;
    // maxRecordBytes other than 0 sets the largest record held, so they can
    // reach that limit too.
    void OpenMemory(const QByteArray &data, size_t chunkBytes = 0, size_t maxRecordBytes = 0);

    // Makes the next record current: true when there was one, false at the
    // end (and from then on). A record longer than the reader holds raises
    // a RecordTooLong naming where it starts.
    bool NextRecord();

    // The current record's frequency in MHz: FREQ, or the lower edge of its
    // BAND where FREQ is absent or not a number; else 0.
    double Frequency();
    // The second frequency in MHz: FREQ_RX where it is a number, else Frequency().
    double SplitFrequency();
    // The date and time, from QSO_DATE and TIME_ON.
    adif::TimeStamp Time();
    // MODE in upper case, with USB and LSB read as SSB.
    QString Mode();
    // The value of the field named, exactly as written, found under any
    // spelling of the name that folds the same; empty text when the record
    // has no such field. A field repeated in one record: the last one wins.
    QString FieldValue(const QString &name);
    // The current record's distinct field names, in file order, reported
    // as FieldNames() reports them.
    QStringList CurrentFieldNames();

    // Every distinct field name of the log's records (header fields left
    // out), in order of first appearance: a name in upper case where that
    // folds back to the same name ("CALL"), else its fold ("straße"). No two
    // are the same key of a case-insensitive collection. Gathered by a pass
    // of its own over the log when first asked for; the record being read
    // stays current.
    const QStringList &FieldNames();

    // The damage met so far in the log being read (not in the pass that
    // gathers the field names): recovered lengths, records lost to the end
    // of the file, skipped Cabrillo lines, an XML error.
    const adif::Diagnostics &Diagnosed() const;

    // Whether the log is read as a Cabrillo log, and the X-QSO: lines
    // (contacts not to be scored, so not replayed) it has shown so far.
    bool IsCabrillo() const;
    uint64_t XQsoCount() const;

    // ---- The dispatch contract, for Ardenix ----
    enum DispatchId : int {
        kFileName = 1,       // put: text; empty means no file
        kNextRecord = 2,     // method: -1 when a further record is current, 0 at the end
        kFrequency = 3,      // get: double, MHz
        kSplitFrequency = 4, // get: double, MHz
        kYear = 5,
        kMonth = 6,
        kDay = 7,
        kHour = 8,
        kMinute = 9,
        kSecond = 10,
        kMode = 12,          // get: text
        kFieldValue = 15,    // get (field name): text
        kFieldNameCount = 16, // get: 32-bit integer
        kFieldName = 17,     // get (position from 0): text
    };
    QVariant Invoke(int dispatchId, InvokeKind kind, const QVariantList &args);

private:
    void OpenSource(std::unique_ptr<adif::ByteSource> source);
    void Close();
    const adif::Derived &Current();
    adif::FieldLookup &Lookup();

    std::unique_ptr<adif::RecordParser> MakeParser(std::unique_ptr<adif::ByteSource> source) const;

    std::unique_ptr<adif::RecordParser> m_Parser;
    size_t m_Chunk = 0;
    size_t m_MaxRecord = 0;
    bool m_HasRecord = false;
    std::optional<adif::Derived> m_Derived; // computed when first asked for, per record
    std::optional<adif::FieldLookup> m_Lookup; // made when first asked for, per record
    std::optional<QStringList> m_FieldNames;  // the whole file's names, gathered once
};

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

// The ADIF reader component. Callers address it late-bound, by dispatch
// number, through Invoke(). Every error it raises is a ReaderError: an
// unknown number, a wrong kind of call or a wrong argument count is an
// InvalidCall.
class AdifReader {
public:
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

    AdifReader();
    ~AdifReader();
    AdifReader(const AdifReader &) = delete;
    AdifReader &operator=(const AdifReader &) = delete;

    QVariant Invoke(int dispatchId, InvokeKind kind, const QVariantList &args);

    // ---- Outside the dispatch contract ----

    // Does what setting FileName does, with the bytes taken from memory
    // instead of a file: the fuzzer and the tests feed the reader this way.
    // The data is shared, not copied. chunkBytes other than 0 sets the read
    // chunk size, so tests and the fuzzer can force refills on small inputs;
    // maxRecordBytes other than 0 sets the largest record held, so they can
    // reach that limit too.
    void OpenMemory(const QByteArray &data, size_t chunkBytes = 0, size_t maxRecordBytes = 0);

    // Distinct names (file order) of the current record's fields, reported
    // as FieldName reports them. The contract only answers for names a
    // caller already knows; adif-dump needs to list a record whole, so it
    // asks here.
    QStringList CurrentFieldNames();

    // The damage met so far in the file being read (not in the pass that
    // gathers the field names): recovered lengths, records lost to the end
    // of the file, an XML error. adif-dump reports it after the records.
    const adif::Diagnostics &Diagnosed() const;

    // Whether the file is read as a Cabrillo log, and the X-QSO: lines (contacts
    // not to be scored, so not replayed) it has shown so far.
    bool IsCabrillo() const;
    uint64_t XQsoCount() const;

private:
    void SetFileName(const QString &name);
    void Open(std::unique_ptr<adif::ByteSource> source);
    void Close();
    int NextRecord();
    const adif::Derived &Current();
    adif::FieldLookup &Lookup();
    const QStringList &FieldNames();

    std::unique_ptr<adif::RecordParser> MakeParser(std::unique_ptr<adif::ByteSource> source) const;

    std::unique_ptr<adif::RecordParser> m_Parser;
    size_t m_Chunk = 0;
    size_t m_MaxRecord = 0;
    bool m_HasRecord = false;
    std::optional<adif::Derived> m_Derived; // computed when first asked for, per record
    std::optional<adif::FieldLookup> m_Lookup; // made when first asked for, per record
    std::optional<QStringList> m_FieldNames;  // the whole file's names, gathered once
};

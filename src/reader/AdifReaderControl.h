// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AdifReader.h"
#include "RuntimeError.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <cstdint>

enum class InvokeKind { Method, PropertyGet, PropertyPut };

// Ardenix's view of the ADIF reader component, which it calls late-bound,
// by dispatch number. Invoke() maps each number to the reader's own call,
// reading the arguments as an automation caller's variants are converted;
// the named methods call Invoke() and convert each result the same way
// (Numbers). An unknown number, a wrong kind of call or a wrong number of
// arguments is an Invalid procedure call; an error the reader raises comes
// out as the RuntimeError that Translated() makes of it.
class AdifReaderControl {
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
        kMode = 12,           // get: text
        kFieldValue = 15,     // get (field name): text
        kFieldNameCount = 16, // get: 32-bit integer
        kFieldName = 17,      // get (position from 0): text
    };

    QVariant Invoke(int dispatchId, InvokeKind kind, const QVariantList &args);

    void SetFileName(const QString &fileName);
    int16_t NextRecord();
    double Frequency();
    double SplitFrequency();
    int16_t Year();
    int16_t Month();
    int16_t Day();
    int16_t Hour();
    int16_t Minute();
    int16_t Second();
    QString Mode();
    QString FieldValue(const QString &fieldName);
    int32_t FieldNameCount();
    QString FieldName(int32_t position);

    // The program's error for one the reader raised, numbered and described
    // as the top-level error report shows it.
    static RuntimeError Translated(const ReaderError &error);

    // The reader itself, for its own calls (tests feed it bytes from
    // memory). What it raises is a ReaderError, untranslated.
    AdifReader &Component() { return m_Reader; }

private:
    QVariant Get(int dispatchId, const QVariantList &args = {});
    template <typename T>
    QVariant GetWith(int dispatchId, const T &argument);

    AdifReader m_Reader;
    QVariantList m_OneArgument{QVariant()}; // reused: no list allocation per look-up
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AdifReader.h"
#include "ReaderError.h"
#include "RuntimeError.h"

#include <QString>
#include <cstdint>

// Ardenix's view of the ADIF reader component: one method per member, each
// calling the component by its dispatch number and converting the result
// the way an automation caller would. An error the component raises comes
// out as the RuntimeError that Translated() makes of it.
class AdifReaderControl {
public:
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

    // The program's error for one the component raised, numbered and
    // described as the top-level error report shows it.
    static RuntimeError Translated(const ReaderError &error);

    // The component itself, for what lies outside the dispatch contract
    // (feeding bytes from memory, listing the current record's fields).
    // What it raises is a ReaderError, untranslated.
    AdifReader &Component() { return m_Reader; }

private:
    QVariant Call(int dispatchId, InvokeKind kind, const QVariantList &args);
    QVariant Get(int dispatchId, const QVariantList &args = {});
    template <typename T>
    QVariant GetWith(int dispatchId, const T &argument);

    AdifReader m_Reader;
    QVariantList m_OneArgument{QVariant()}; // reused: no list allocation per look-up
};

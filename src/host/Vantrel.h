// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Automation.h"

#include <QString>
#include <cstdint>
#include <memory>

// The logger's automation objects as Ardenix calls them: every operation with
// its arguments in the logger's order and types, and its result converted to
// the type Ardenix reads it as. Arguments that the logger takes by reference
// are plain inputs over the bus: the logger cannot change the caller's
// variable. A result that does not convert raises the conversion's error
// (Type mismatch, Overflow) with the member and what it answered added to the
// description, so that the report names the call that failed.

inline const QString kVantrelProgId = QStringLiteral("vantrel.document");

// The entry window: the row of columns in which one contact is typed.
class VantrelEntry {
public:
    explicit VantrelEntry(std::shared_ptr<Automation::Object> object);

    QString GetAdifNameN(int16_t column);
    int16_t GetFieldAttributesN(int16_t column);
    QString FieldTitle(int16_t column);
    void ClearEntry();
    void SetFieldN(int16_t column, QString text);
    void SetLogFrequencyEx(int16_t mode, double rxKhz, double txKhz, int16_t split);
    void EnterQso();
    // Whether the contact now in the entry window is a duplicate: the logger
    // answers 0 for a new contact.
    bool Dupe();

private:
    std::shared_ptr<Automation::Object> m_Object;
};

class VantrelDocument {
public:
    explicit VantrelDocument(std::shared_ptr<Automation::Object> object);

    // Raises Type mismatch when the logger answers with something that is not an object.
    std::shared_ptr<VantrelEntry> GetCurrentEntry();

    // The running logger's document, or empty when the logger is not running.
    static std::shared_ptr<VantrelDocument> GetRunning();

private:
    std::shared_ptr<Automation::Object> m_Object;
};

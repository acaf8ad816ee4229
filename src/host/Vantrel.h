#pragma once

#include "Automation.h"

#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>

// The logger's automation objects as Ardenix calls them: every operation with
// its arguments in the logger's order and types. Arguments that the logger
// takes by reference are plain inputs over the bus; the logger cannot change
// the caller's variable. Results come back as the logger sent them and are
// converted by the caller.

inline const QString kVantrelProgId = QStringLiteral("vantrel.document");

// A result of the logger converted as the caller uses it. A result that does
// not convert raises the conversion's error (Type mismatch, Overflow) with the
// member and what it answered added to the description, so that the report
// names the call that failed.
namespace VantrelResult {

QString Text(const QString &member, const QVariant &value);
int16_t Int16(const QString &member, const QVariant &value);
bool EqualsNumber(const QString &member, const QVariant &value, double number);

} // namespace VantrelResult

// The entry window: the row of columns in which one contact is typed.
class VantrelEntry {
public:
    explicit VantrelEntry(std::shared_ptr<Automation::Object> object);

    QVariant GetAdifNameN(int16_t &column);
    QVariant GetFieldAttributesN(int16_t &column);
    QVariant FieldTitle(int16_t &column);
    void ClearEntry();
    void SetFieldN(int16_t column, QString &text);
    void SetLogFrequencyEx(int16_t &mode, double rxKhz, double txKhz, int16_t &split);
    void EnterQso();
    QVariant Dupe();

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

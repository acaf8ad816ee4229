// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the program: a number and a description, as the
// top-level error report names them ("Run-time error '6': Overflow").
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString &description);

    int number() const { return m_Number; }
    QString description() const { return m_Description; }

    // The errors that the program raises, with their customary numbers.
    static RuntimeError InvalidCall();      // 5  Invalid procedure call or argument
    static RuntimeError Overflow();         // 6  Overflow
    static RuntimeError SubscriptOutOfRange(); // 9 Subscript out of range
    static RuntimeError TypeMismatch();     // 13 Type mismatch
    static RuntimeError FileError(const QString &path, const QString &reason); // 75 Path/File access error: <path>: <reason>
    static RuntimeError ObjectNotSet();     // 91 Object variable or With block variable not set
    static RuntimeError KeyExists();        // 457 This key is already associated ...
    static RuntimeError Automation(const QString &whatHostSaid); // 440 Automation error: ...

private:
    int m_Number;
    QString m_Description;
};

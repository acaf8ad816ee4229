// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <stdexcept>

// The one error type the reader raises: what went wrong, the file it
// concerns, where in it when that is known, and a message, which what()
// gives as well.
class ReaderError : public std::runtime_error {
public:
    enum class Kind {
        FileError,     // the file cannot be opened or read
        RecordTooLong, // a record longer than the reader holds
    };

    ReaderError(Kind kind, const QString &message, const QString &path = QString(),
                std::optional<uint64_t> offset = std::nullopt)
        : std::runtime_error(message.toStdString()), m_Kind(kind), m_Message(message), m_Path(path), m_Offset(offset)
    {
    }

    Kind kind() const { return m_Kind; }
    const QString &message() const { return m_Message; }
    // The file the error concerns ("(memory)" for bytes read from memory).
    const QString &path() const { return m_Path; }
    // The byte offset in the file where the trouble is, when known.
    std::optional<uint64_t> offset() const { return m_Offset; }

private:
    Kind m_Kind;
    QString m_Message;
    QString m_Path;
    std::optional<uint64_t> m_Offset;
};

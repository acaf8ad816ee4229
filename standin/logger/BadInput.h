// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

// A file or option the user gave that the stand-in cannot use. The message is
// complete as it stands and is shown to the user as it is.
class BadInput : public std::runtime_error {
public:
    explicit BadInput(const QString &message)
        : std::runtime_error(message.toStdString()), m_Message(message) {}

    QString Message() const { return m_Message; }

private:
    QString m_Message;
};

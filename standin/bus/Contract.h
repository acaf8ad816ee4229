// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Names under which the stand-in serves the automation interface.
namespace Contract {

inline const QString kBusName = QStringLiteral("vantrel.document");
inline const QString kDocumentPath = QStringLiteral("/document");
inline const QString kEntryPath = QStringLiteral("/entry");

inline const QString kBadColumnError = QStringLiteral("vantrel.Error.BadColumn");
inline const QString kBadModeError = QStringLiteral("vantrel.Error.BadMode");
inline const QString kInjectedError = QStringLiteral("vantrel.Error.Injected");
inline const QString kValueTooLongError = QStringLiteral("vantrel.Error.ValueTooLong");
inline const QString kBadFrequencyError = QStringLiteral("vantrel.Error.BadFrequency");

// The method names of both interfaces, read from the generated adaptors.
QStringList Members();

} // namespace Contract

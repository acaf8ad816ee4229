#pragma once

#include <QString>
#include <QStringList>

// Names under which the stand-in serves the automation interface.
namespace Contract {

inline const QString BusName = "vantrel.document";
inline const QString DocumentPath = "/document";
inline const QString EntryPath = "/entry";

inline const QString BadColumnError = "vantrel.Error.BadColumn";
inline const QString BadModeError = "vantrel.Error.BadMode";
inline const QString InjectedError = "vantrel.Error.Injected";
inline const QString ValueTooLongError = "vantrel.Error.ValueTooLong";
inline const QString BadFrequencyError = "vantrel.Error.BadFrequency";

// The method names of both interfaces, read from the generated adaptors.
QStringList members();

} // namespace Contract

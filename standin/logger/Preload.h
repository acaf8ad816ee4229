// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class ContactLog;

// Contacts logged before the stand-in serves, so that dupes exist.
namespace Preload {

// One contact a line: call, band (name or kHz) and mode code separated by
// tabs or spaces; '#' starts a comment line. An ADIF log (told by its <EOR>
// or <ADX> tags) preloads the call, band and mode of each of its records
// instead. Throws BadInput naming the file, and the line of the first bad line.
void File(ContactLog &log, const QString &path);
// The same lines as text; sourceName names them in messages.
void Text(ContactLog &log, const QString &text, const QString &sourceName);

} // namespace Preload

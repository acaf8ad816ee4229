// SPDX-License-Identifier: GPL-3.0-or-later
#include "Program.h"

#include <QPixmap>

// The picture itself, compiled in: reading it needs none of Qt's image plugins.
#include "ardenix.xpm"

namespace Program {

QIcon Icon() { return QIcon(QPixmap(ardenix_xpm)); }

} // namespace Program

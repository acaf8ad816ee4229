#include "Program.h"

namespace Program {

QIcon Icon() { return QIcon(QStringLiteral(":/ardenix/ardenix.xpm")); }

} // namespace Program

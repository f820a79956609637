#include "editor/pngicon.h"

namespace talvex {

QIcon pngIcon(const QString &name)
{
    // Both are added by name: QIcon looks for an "@2x" file by itself only on a screen
    // that is already of twice the density at the time, and a window may move to one.
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(name));
    icon.addFile(QStringLiteral(":/icons/%1@2x.png").arg(name));
    return icon;
}

} // namespace talvex

#include "editor/kindicons.h"

#include <QHash>
#include <QString>

#include <array>

namespace talvex {

QIcon kindIcon(int index)
{
    static const std::array<const char *, 11> files = {
        "kind-01-point.svg", "kind-02-line.svg", "kind-03-arc.svg",  "kind-04-circle.svg",
        "kind-05-speed.svg", "kind-06-wait.svg", "kind-07-loop.svg", "kind-08-loopend.svg",
        "kind-09-label.svg", "kind-10-jump.svg", "kind-11-home.svg",
    };
    // Icons are rendered once and shared: relistSteps rebuilds up to 500 rows at a time.
    static QHash<int, QIcon> cache;
    const int key = (index >= 1 && index <= 11) ? index : 0;
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    const QString name =
        key == 0 ? QStringLiteral("kind-unknown.svg") : QString::fromLatin1(files[static_cast<size_t>(key) - 1]);
    QIcon icon(QStringLiteral(":/icons/") + name);
    cache.insert(key, icon);
    return icon;
}

} // namespace talvex

#include "editor/kindicons.h"

#include "editor/pngicon.h"

#include <QHash>
#include <QString>

#include <array>

namespace talvex {

QIcon kindIcon(int index)
{
    static const std::array<const char *, 11> names = {
        "kind-01-point", "kind-02-line",    "kind-03-arc",   "kind-04-circle", "kind-05-speed", "kind-06-wait",
        "kind-07-loop",  "kind-08-loopend", "kind-09-label", "kind-10-jump",   "kind-11-home",
    };
    // Icons are loaded once and shared: relistSteps rebuilds up to 500 rows at a time.
    static QHash<int, QIcon> cache;
    const int key = (index >= 1 && index <= 11) ? index : 0;
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QIcon icon =
        pngIcon(key == 0 ? QStringLiteral("kind-unknown") : QString::fromLatin1(names[static_cast<size_t>(key) - 1]));
    cache.insert(key, icon);
    return icon;
}

} // namespace talvex

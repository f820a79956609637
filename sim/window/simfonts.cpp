#include "sim/window/simfonts.h"

#include <QApplication>
#include <QFont>
#include <QStringList>

namespace talvex::sim {

void registerFontSubstitutions()
{
    // The same substitutions as the station's, kept here because the simulator links
    // nothing of the station's but its core: Linux has no 新細明體, and fontconfig's
    // per-character fallback may pick Japanese or Simplified forms for the captions.
    const QStringList traditional = {QStringLiteral("Noto Serif CJK TC"), QStringLiteral("Noto Sans CJK TC")};
    QFont::insertSubstitutions(QStringLiteral("新細明體"), traditional);
    QFont::insertSubstitutions(QStringLiteral("PMingLiU"), traditional);
    const QString family = QApplication::font().family();
    QFont::insertSubstitutions(family, {QStringLiteral("Noto Sans CJK TC")});
}

} // namespace talvex::sim

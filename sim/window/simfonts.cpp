#include "sim/window/simfonts.h"

#include "core/fontsubstitutions.h"

#include <QApplication>
#include <QFont>

namespace talvex::sim {

void registerFontSubstitutions()
{
    // The station's substitutions: the simulator links nothing of the station's but
    // its core, which names the faces per platform. Without them the captions' Chinese
    // may come out in Japanese or Simplified forms.
    for (const FontSubstitution &substitution : traditionalChineseSubstitutions(QApplication::font().family()))
        QFont::insertSubstitutions(substitution.family, substitution.substitutes);
}

} // namespace talvex::sim

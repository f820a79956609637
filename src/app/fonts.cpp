#include "app/fonts.h"

#include "core/fontsubstitutions.h"

#include <QApplication>
#include <QFont>

namespace talvex {

void registerFontSubstitutions()
{
    // The faces differ per platform (Noto CJK TC on Linux, 新細明體 or 微軟正黑體 on
    // Windows); the core names them for the simulator's window as well.
    for (const FontSubstitution &substitution : traditionalChineseSubstitutions(QApplication::font().family()))
        QFont::insertSubstitutions(substitution.family, substitution.substitutes);
}

} // namespace talvex

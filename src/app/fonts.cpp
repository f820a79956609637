#include "app/fonts.h"

#include <QApplication>
#include <QFont>
#include <QStringList>

namespace talvex {

void registerFontSubstitutions()
{
    // Linux has no font named 新細明體; fontconfig would map it to a Latin face and
    // leave the Chinese to per-character fallback, which may pick Japanese or
    // Simplified forms. Name the Traditional Chinese Noto faces explicitly.
    const QStringList traditional = {QStringLiteral("Noto Serif CJK TC"), QStringLiteral("Noto Sans CJK TC")};
    QFont::insertSubstitutions(QStringLiteral("新細明體"), traditional);
    QFont::insertSubstitutions(QStringLiteral("PMingLiU"), traditional);

    // Captions in the default font are Chinese too: let the default family fall back
    // to the Traditional sans face before any other CJK face.
    const QString family = QApplication::font().family();
    QFont::insertSubstitutions(family, {QStringLiteral("Noto Sans CJK TC")});
}

} // namespace talvex

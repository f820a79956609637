#include "core/fontsubstitutions.h"

namespace talvex {

QList<FontSubstitution> traditionalChineseSubstitutions(const QString &defaultFamily)
{
    // Linux has no font named 新細明體; fontconfig would map it to a Latin face and
    // leave the Chinese to per-character fallback, which may pick Japanese or
    // Simplified forms. Name the Traditional Chinese Noto faces explicitly.
    const QStringList traditional = {QStringLiteral("Noto Serif CJK TC"), QStringLiteral("Noto Sans CJK TC")};
    return {
        {QStringLiteral("新細明體"), traditional},
        {QStringLiteral("PMingLiU"), traditional},
        // Captions in the default font are Chinese too: let the default family fall
        // back to the Traditional sans face before any other CJK face.
        {defaultFamily, {QStringLiteral("Noto Sans CJK TC")}},
    };
}

} // namespace talvex

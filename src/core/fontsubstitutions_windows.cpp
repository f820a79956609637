#include "core/fontsubstitutions.h"

namespace talvex {

QList<FontSubstitution> traditionalChineseSubstitutions(const QString &defaultFamily)
{
    // 新細明體 is the Ming face of Traditional Chinese Windows itself; elsewhere it
    // comes only with the optional Traditional Chinese fonts. The font list may know it
    // by its Chinese or its Latin name, so each leads to the other first. Where neither
    // is installed, 微軟正黑體 (Microsoft JhengHei), Windows' own Traditional Chinese UI
    // face, draws Traditional forms; per-character fallback would otherwise follow the
    // system's language and may pick Japanese or Simplified forms.
    const QStringList jhengHei = {QStringLiteral("微軟正黑體"), QStringLiteral("Microsoft JhengHei")};
    return {
        {QStringLiteral("新細明體"), QStringList{QStringLiteral("PMingLiU")} + jhengHei},
        {QStringLiteral("PMingLiU"), QStringList{QStringLiteral("新細明體")} + jhengHei},
        // The UI family (Segoe UI) has no Chinese: the Traditional face comes first.
        {defaultFamily, QStringList{QStringLiteral("Microsoft JhengHei UI")} + jhengHei},
    };
}

} // namespace talvex

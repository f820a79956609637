#include "core/text.h"

namespace talvex {

QString withoutSpaces(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c != QLatin1Char(' '))
            kept.append(c);
    }
    return kept;
}

QString coordinateText(const QString &text)
{
    QString kept;
    for (const QChar c : text) {
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.'))
            kept.append(c);
    }
    return kept;
}

} // namespace talvex

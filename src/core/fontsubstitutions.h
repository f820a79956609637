#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace talvex {

/// One family and the families drawn in its place, first found first
/// (QFont::insertSubstitutions()). A family's substitutes also come before any other
/// face when one of its characters is missing.
struct FontSubstitution
{
    QString family;
    QStringList substitutes;
};

/// What makes the station's and the simulator's captions draw Chinese with Traditional
/// glyph forms on this platform: the form's Ming face "新細明體" (and its Latin name
/// "PMingLiU") and @p defaultFamily, the system's UI family. Only names here, so that
/// both programs take them from the core; each registers them with QFont itself.
/// One small file per platform: fontsubstitutions_linux.cpp, _windows.cpp.
QList<FontSubstitution> traditionalChineseSubstitutions(const QString &defaultFamily);

} // namespace talvex

#pragma once

#include <QString>
#include <QStringList>

namespace talvex {

class PathView;

/// The kinds of file savePathImage() writes, by suffix: "png", "pdf", and "svg" where
/// this build has Qt Svg.
QStringList pathImageSuffixes();

/// The file savePathImage() writes for the name @p chosen: the name itself when its
/// suffix is one of pathImageSuffixes(), else the name with ".png" added.
QString pathImageFileName(const QString &chosen);

/// Writes what @p view shows to pathImageFileName(@p path): a PNG image at the view's
/// size, a PDF page (A4 landscape, the drawing scaled to fit) or an SVG drawing, by the
/// name's suffix. Returns false with the reason in @p error when the file cannot be
/// written.
bool savePathImage(const PathView &view, const QString &path, QString *error, QString *written = nullptr);

} // namespace talvex

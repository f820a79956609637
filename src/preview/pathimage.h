#pragma once

#include <QString>

namespace talvex {

class PathView;

/// Writes what @p view shows to @p path at the view's size: an SVG drawing when the
/// name ends in ".svg", else a PNG image (".png" is added to a name without it).
/// Returns false with the reason in @p error when the file cannot be written.
bool savePathImage(const PathView &view, QString path, QString *error, QString *written = nullptr);

} // namespace talvex

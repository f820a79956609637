#pragma once

#include <QByteArray>

namespace talvex {

class PathView;

// The SVG side of savePathImage(): one file per build, pathimage_svg.cpp where Qt Svg
// is, pathimage_nosvg.cpp where it is not (the Windows build).

/// Whether this build can write an SVG drawing.
bool svgDrawingAvailable();

/// What @p view shows as an SVG document at the view's size; empty where
/// svgDrawingAvailable() is false.
QByteArray svgDrawingOf(const PathView &view);

} // namespace talvex

#include "preview/pathimage_svg.h"

namespace talvex {

// Built without Qt Svg: the preview offers PNG and PDF only.

bool svgDrawingAvailable()
{
    return false;
}

QByteArray svgDrawingOf(const PathView &)
{
    return {};
}

} // namespace talvex

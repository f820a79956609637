#include "preview/pathimage_svg.h"

#include "preview/pathview.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

namespace talvex {

bool svgDrawingAvailable()
{
    return true;
}

QByteArray svgDrawingOf(const PathView &view)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(view.size());
    svg.setViewBox(QRect(QPoint(), view.size()));
    svg.setTitle(QStringLiteral("路徑預覽"));
    {
        QPainter painter(&svg);
        view.render(painter);
    }
    return buffer.data();
}

} // namespace talvex

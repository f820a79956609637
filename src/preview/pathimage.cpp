#include "preview/pathimage.h"

#include "core/filewrite.h"
#include "preview/pathview.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace talvex {

namespace {

QByteArray svgOf(const PathView &view)
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

QByteArray pngOf(const PathView &view)
{
    QImage image(view.size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        view.render(painter);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

} // namespace

bool savePathImage(const PathView &view, QString path, QString *error, QString *written)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("svg") && suffix != QLatin1String("png"))
        path += QStringLiteral(".png");
    if (written)
        *written = path;
    // Drawn into memory first, then written whole like every other file the station
    // saves: a failure part-way leaves the old file as it was.
    const QByteArray bytes = suffix == QLatin1String("svg") ? svgOf(view) : pngOf(view);
    return writeWholeFile(path, bytes, error);
}

} // namespace talvex

#include "preview/pathimage.h"

#include "core/filewrite.h"
#include "preview/pathimage_svg.h"
#include "preview/pathview.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace talvex {

namespace {

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

QByteArray pdfOf(const PathView &view)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QStringLiteral("路徑預覽"));
        pdf.setCreator(QStringLiteral("TALVEX Station"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                      QPageLayout::Millimeter));
        // At a screen's resolution the texts (sized in points) and the lines (cosmetic
        // pens, sized in device pixels) keep the proportions they have in the window;
        // the page is vectors all the same, so nothing is lost by it.
        pdf.setResolution(96);
        QPainter painter(&pdf);
        const QSizeF drawing(std::max(1, view.width()), std::max(1, view.height()));
        const QSizeF page(pdf.width(), pdf.height()); // inside the margins
        const double scale = std::min(page.width() / drawing.width(), page.height() / drawing.height());
        painter.translate((page.width() - drawing.width() * scale) / 2.0,
                          (page.height() - drawing.height() * scale) / 2.0);
        painter.scale(scale, scale);
        painter.setClipRect(QRectF(QPointF(), drawing));
        view.render(painter);
    }
    return buffer.data();
}

} // namespace

QStringList pathImageSuffixes()
{
    QStringList suffixes = {QStringLiteral("png"), QStringLiteral("pdf")};
    if (svgDrawingAvailable())
        suffixes.append(QStringLiteral("svg"));
    return suffixes;
}

QString pathImageFileName(const QString &chosen)
{
    return pathImageSuffixes().contains(QFileInfo(chosen).suffix().toLower()) ? chosen
                                                                              : chosen + QStringLiteral(".png");
}

bool savePathImage(const PathView &view, const QString &path, QString *error, QString *written)
{
    const QString target = pathImageFileName(path);
    if (written)
        *written = target;
    // Drawn into memory first, then written whole like every other file the station
    // saves: a failure part-way leaves the old file as it was.
    const QString suffix = QFileInfo(target).suffix().toLower();
    QByteArray bytes;
    if (suffix == QLatin1String("pdf"))
        bytes = pdfOf(view);
    else if (suffix == QLatin1String("svg"))
        bytes = svgDrawingOf(view);
    else
        bytes = pngOf(view);
    return writeWholeFile(target, bytes, error);
}

} // namespace talvex

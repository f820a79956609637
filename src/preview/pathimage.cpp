#include "preview/pathimage.h"

#include "preview/pathview.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

namespace talvex {

namespace {

bool saveSvg(const PathView &view, const QString &path, QString *error)
{
    // Drawn into memory first: the generator cannot say whether its file was written.
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
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(buffer.data()) != buffer.size() ||
        !file.flush()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool savePng(const PathView &view, const QString &path, QString *error)
{
    QImage image(view.size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        view.render(painter);
    }
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        *error = writer.errorString();
        return false;
    }
    return true;
}

} // namespace

bool savePathImage(const PathView &view, QString path, QString *error, QString *written)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("svg") && suffix != QLatin1String("png"))
        path += QStringLiteral(".png");
    if (written)
        *written = path;
    QString reason;
    const bool saved = suffix == QLatin1String("svg") ? saveSvg(view, path, &reason) : savePng(view, path, &reason);
    if (!saved && error)
        *error = reason;
    return saved;
}

} // namespace talvex

#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

namespace talvex::icons {

/// One file that talvex-make-icons writes from one SVG drawing.
struct IconFile
{
    QString svgPath;    ///< the drawing
    QString path;       ///< the file written beside it
    QList<QSize> sizes; ///< one image for a PNG, one per entry for an ICO
};

/// The files made from the drawings in @p iconDir: NAME.png at the drawing's own size
/// (the size the station shows it at) and NAME@2x.png at twice that for every NAME.svg,
/// and talvex.ico from talvex.svg. Sorted by path.
QList<IconFile> iconFiles(const QString &iconDir);

/// @p svgPath drawn at @p size on a transparent background, straight (not
/// premultiplied) alpha; a null image when the drawing cannot be read.
QImage renderIcon(const QString &svgPath, QSize size);

/// The bytes of @p file: a PNG, or an ICO whose entries hold PNG images.
QByteArray iconFileBytes(const IconFile &file, QString *error);

/// The images of an ICO file whose entries hold PNG images, in their order; empty when
/// @p bytes is no such file.
QList<QImage> icoImages(const QByteArray &bytes);

} // namespace talvex::icons

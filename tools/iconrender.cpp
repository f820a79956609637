#include "tools/iconrender.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace talvex::icons {

namespace {

// The sizes Windows asks an executable's icon for: the title bar and the small lists,
// the taskbar, the large icon view, and the "extra large" view (stored as PNG, as
// Windows itself does since Vista; the small ones are PNG too, which every Windows
// from Vista on reads).
constexpr std::array<int, 4> kIcoSizes = {16, 32, 48, 256};

constexpr int kIcoHeaderSize = 6;
constexpr int kIcoEntrySize = 16;

QByteArray pngBytes(const QImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

void appendLittleEndian16(QByteArray &bytes, quint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

void appendLittleEndian32(QByteArray &bytes, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

QByteArray icoBytes(const QList<QImage> &images)
{
    QByteArray bytes;
    appendLittleEndian16(bytes, 0); // reserved
    appendLittleEndian16(bytes, 1); // an icon, not a cursor
    appendLittleEndian16(bytes, static_cast<quint16>(images.size()));
    QList<QByteArray> pngs;
    for (const QImage &image : images)
        pngs.append(pngBytes(image));
    quint32 offset = kIcoHeaderSize + kIcoEntrySize * static_cast<quint32>(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        // A side of 256 is written as 0: the field is one byte.
        bytes.append(static_cast<char>(images[i].width() & 0xff));
        bytes.append(static_cast<char>(images[i].height() & 0xff));
        bytes.append('\0');              // no palette
        bytes.append('\0');              // reserved
        appendLittleEndian16(bytes, 1);  // colour planes
        appendLittleEndian16(bytes, 32); // bits per pixel
        appendLittleEndian32(bytes, static_cast<quint32>(pngs[i].size()));
        appendLittleEndian32(bytes, offset);
        offset += static_cast<quint32>(pngs[i].size());
    }
    for (const QByteArray &png : pngs)
        bytes.append(png);
    return bytes;
}

} // namespace

QList<IconFile> iconFiles(const QString &iconDir)
{
    const QDir dir(iconDir);
    QList<IconFile> files;
    const QStringList drawings = dir.entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    for (const QString &drawing : drawings) {
        const QString svgPath = dir.filePath(drawing);
        const QString name = QFileInfo(drawing).completeBaseName();
        const QSize size = QSvgRenderer(svgPath).defaultSize();
        files.append({svgPath, dir.filePath(name + QStringLiteral(".png")), {size}});
        files.append({svgPath, dir.filePath(name + QStringLiteral("@2x.png")), {size * 2}});
        if (name == QLatin1String("talvex")) { // the application icon
            IconFile ico{svgPath, dir.filePath(name + QStringLiteral(".ico")), {}};
            for (int side : kIcoSizes)
                ico.sizes.append(QSize(side, side));
            files.append(ico);
        }
    }
    std::sort(files.begin(), files.end(), [](const IconFile &a, const IconFile &b) { return a.path < b.path; });
    return files;
}

QImage renderIcon(const QString &svgPath, QSize size)
{
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(), QSizeF(size)));
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray iconFileBytes(const IconFile &file, QString *error)
{
    QList<QImage> images;
    for (const QSize size : file.sizes) {
        QImage image = renderIcon(file.svgPath, size);
        if (image.isNull()) {
            *error = QStringLiteral("%1 is no SVG drawing that Qt Svg can read").arg(file.svgPath);
            return {};
        }
        images.append(image);
    }
    return file.path.endsWith(QLatin1String(".ico")) ? icoBytes(images) : pngBytes(images.value(0));
}

QList<QImage> icoImages(const QByteArray &bytes)
{
    if (bytes.size() < kIcoHeaderSize || qFromLittleEndian<quint16>(bytes.constData() + 2) != 1)
        return {};
    const int count = qFromLittleEndian<quint16>(bytes.constData() + 4);
    if (bytes.size() < kIcoHeaderSize + kIcoEntrySize * count)
        return {};
    QList<QImage> images;
    for (int i = 0; i < count; ++i) {
        const char *entry = bytes.constData() + kIcoHeaderSize + kIcoEntrySize * i;
        const quint32 size = qFromLittleEndian<quint32>(entry + 8);
        const quint32 offset = qFromLittleEndian<quint32>(entry + 12);
        if (offset > static_cast<quint32>(bytes.size()) || size > static_cast<quint32>(bytes.size()) - offset)
            return {};
        images.append(QImage::fromData(bytes.mid(offset, size), "PNG"));
    }
    return images;
}

} // namespace talvex::icons

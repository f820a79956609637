// talvex-make-icons ICON_DIR: writes the PNG icons and talvex.ico from the SVG drawings
// in ICON_DIR (see iconFiles()). The station loads only the PNGs, so that it needs no
// SVG plugin; scripts/make-icons runs this and tst_icons checks that they are current.

#include "tools/iconrender.h"

#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Nothing is shown; the offscreen platform lets it run without a display, and
    // tst_icons renders on the same platform.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: talvex-make-icons ICON_DIR\n", stderr);
        return 2;
    }
    const QList<talvex::icons::IconFile> files = talvex::icons::iconFiles(arguments.at(1));
    if (files.isEmpty()) {
        std::fprintf(stderr, "talvex-make-icons: no SVG drawing in %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    for (const talvex::icons::IconFile &file : files) {
        QString error;
        const QByteArray bytes = talvex::icons::iconFileBytes(file, &error);
        QSaveFile out(file.path);
        if (bytes.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
            std::fprintf(stderr, "talvex-make-icons: %s: %s\n", qPrintable(file.path),
                         qPrintable(error.isEmpty() ? out.errorString() : error));
            return 1;
        }
        std::printf("%s\n", qPrintable(file.path));
    }
    return 0;
}

// talvex-make-pictures PICTURE_DIR: draws the pictures of the operator's manual from
// the station's own windows (see helppictures.h) and writes them as PNG files into
// PICTURE_DIR. scripts/make-pictures runs this and tst_helppictures checks that the
// committed ones are current.

#include "tools/helppictures.h"

#include <QApplication>
#include <QDir>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    talvex::pictures::prepareProcess();
    QApplication app(argc, argv);
    talvex::pictures::prepareApplication();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: talvex-make-pictures PICTURE_DIR\n", stderr);
        return 2;
    }
    // Taken before the station's windows change the working directory.
    const QDir folder(QDir(arguments.at(1)).absolutePath());
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "talvex-make-pictures: cannot make %s\n", qPrintable(folder.path()));
        return 1;
    }
    QString error;
    const QList<talvex::pictures::Picture> pictures = talvex::pictures::renderPictures(&error);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "talvex-make-pictures: %s\n", qPrintable(error));
        return 1;
    }
    for (const talvex::pictures::Picture &picture : pictures) {
        const QString path = folder.filePath(picture.fileName);
        const QByteArray bytes = talvex::pictures::pngBytes(picture.image);
        QSaveFile out(path);
        if (bytes.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
            std::fprintf(stderr, "talvex-make-pictures: %s: %s\n", qPrintable(path), qPrintable(out.errorString()));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}

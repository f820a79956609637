#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace talvex::pictures {

/// One picture of the operator's manual: a window of the station as it stands with
/// the worked example loaded.
struct Picture
{
    QString fileName; ///< "main-window.png", under resources/help/pictures
    QImage image;
};

/// Sets up the process before its QApplication exists, so that every run draws the same
/// pixels: the offscreen platform at scale 1, the C locale, no style or theme from the
/// environment.
void prepareProcess();

/// Sets up the application as the station's main() does (font substitutions, Qt's own
/// words in Traditional Chinese), with the Fusion style, text at 96 dpi as under Qt
/// Test's main() and a steady text cursor.
void prepareApplication();

/// The file names of the pictures, in the order renderPictures() gives them.
QStringList pictureFileNames();

/// Builds the station's windows on the test doubles, sets each one up as the manual
/// shows it and grabs it at its fixed size. Empty images where a window did not come
/// up; @p error says which.
QList<Picture> renderPictures(QString *error);

/// @p image as the PNG file the manual carries: RGB, compressed as far as Qt's writer goes.
QByteArray pngBytes(const QImage &image);

} // namespace talvex::pictures

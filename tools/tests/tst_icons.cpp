#include "tools/iconrender.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <cstdlib>

using namespace talvex::icons;

namespace {

/// The largest difference of one colour or alpha channel between two pixels.
int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)),
                     std::abs(qAlpha(a) - qAlpha(b))});
}

/// Where @p committed differs from @p rendered by more than a rounding step; empty
/// when they agree.
QString difference(const QImage &committed, const QImage &rendered)
{
    if (committed.size() != rendered.size()) {
        return QStringLiteral("is %1x%2, not %3x%4")
            .arg(committed.width())
            .arg(committed.height())
            .arg(rendered.width())
            .arg(rendered.height());
    }
    const QImage a = committed.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (channelDistance(a.pixel(x, y), rendered.pixel(x, y)) > 2)
                return QStringLiteral("differs at pixel (%1, %2)").arg(x).arg(y);
        }
    }
    return {};
}

} // namespace

class TestIcons : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void committedIcons_matchTheirDrawings_data();
    void committedIcons_matchTheirDrawings();
};

void TestIcons::committedIcons_matchTheirDrawings_data()
{
    QTest::addColumn<QString>("svgPath");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QList<QSize>>("sizes");
    const QList<IconFile> files = iconFiles(QStringLiteral(TALVEX_ICON_DIR));
    QVERIFY(files.size() >= 2 * 13 + 1); // 12 kind icons and the application's, its ICO
    for (const IconFile &file : files)
        QTest::newRow(qPrintable(QFileInfo(file.path).fileName())) << file.svgPath << file.path << file.sizes;
}

void TestIcons::committedIcons_matchTheirDrawings()
{
    QFETCH(QString, svgPath);
    QFETCH(QString, path);
    QFETCH(QList<QSize>, sizes);
    const QString mend = QStringLiteral("; run scripts/make-icons and commit what it writes");
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path + QStringLiteral(" is missing") + mend));
    const QByteArray bytes = file.readAll();
    const QList<QImage> committed =
        path.endsWith(QLatin1String(".ico")) ? icoImages(bytes) : QList<QImage>{QImage::fromData(bytes, "PNG")};
    QVERIFY2(
        committed.size() == sizes.size(),
        qPrintable(path + QStringLiteral(" holds %1 images, not %2").arg(committed.size()).arg(sizes.size()) + mend));
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const QString wrong = difference(committed[i], renderIcon(svgPath, sizes[i]));
        QVERIFY2(wrong.isEmpty(), qPrintable(path + QLatin1Char(' ') + wrong + QStringLiteral(" from ") +
                                             QFileInfo(svgPath).fileName() + mend));
    }
}

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"

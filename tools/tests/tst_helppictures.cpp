#include "tools/helppictures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <algorithm>
#include <cstdlib>

using namespace talvex::pictures;

namespace {

/// Text is antialiased: a run may move a few edge pixels by a shade. More than this
/// share of changed pixels is a change of the window.
constexpr double kChangedShare = 0.005;

bool samePixel(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))}) <= 2;
}

/// How @p committed differs from @p rendered beyond antialiasing; empty when it does not.
QString difference(const QImage &committed, const QImage &rendered)
{
    if (committed.isNull())
        return QStringLiteral("is missing or no PNG");
    if (committed.size() != rendered.size()) {
        return QStringLiteral("is %1x%2, the window now %3x%4")
            .arg(committed.width())
            .arg(committed.height())
            .arg(rendered.width())
            .arg(rendered.height());
    }
    const QImage a = committed.convertToFormat(QImage::Format_RGB32);
    const QImage b = rendered.convertToFormat(QImage::Format_RGB32);
    qint64 changed = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *lineA = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *lineB = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            changed += samePixel(lineA[x], lineB[x]) ? 0 : 1;
    }
    const qint64 pixels = qint64(a.width()) * a.height();
    if (changed < kChangedShare * double(pixels))
        return {};
    return QStringLiteral("differs in %1 of its %2 pixels").arg(changed).arg(pixels);
}

} // namespace

/// The pictures of the manual are the station's windows as they are now.
class TestHelpPictures : public QObject
{
    Q_OBJECT

public:
    static void initMain() { prepareProcess(); }

private Q_SLOTS:
    void initTestCase() { prepareApplication(); }
    void committedPictures_showTheWindowsAsTheyAre();
};

void TestHelpPictures::committedPictures_showTheWindowsAsTheyAre()
{
    QString error;
    const QList<Picture> rendered = renderPictures(&error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QStringList names;
    for (const Picture &picture : rendered)
        names << picture.fileName;
    QCOMPARE(names, pictureFileNames());

    const QDir folder(QStringLiteral(TALVEX_PICTURE_DIR));
    QStringList stale;
    for (const Picture &picture : rendered) {
        QCOMPARE(picture.image.devicePixelRatio(), 1.0);
        const QString wrong = difference(QImage(folder.filePath(picture.fileName), "PNG"), picture.image);
        if (!wrong.isEmpty())
            stale << picture.fileName + QLatin1Char(' ') + wrong;
    }
    QVERIFY2(stale.isEmpty(), qPrintable(QStringLiteral("resources/help/pictures/") +
                                         stale.join(QStringLiteral("; resources/help/pictures/")) +
                                         QStringLiteral(": run scripts/make-pictures and commit what it writes")));
    // Each is shown in the manual, and nothing else lies there unused.
    QFile manual(QStringLiteral(TALVEX_MANUAL));
    QVERIFY(manual.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(manual.readAll());
    for (const QString &name : names)
        QVERIFY2(html.contains(QStringLiteral("<img src=\"pictures/%1\"").arg(name)),
                 qPrintable(name + QStringLiteral(" is not in resources/help/manual.html")));
    names.sort();
    QCOMPARE(folder.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name), names);
}

QTEST_MAIN(TestHelpPictures)
#include "tst_helppictures.moc"

#include "editor/kindicons.h"
#include "editor/pngicon.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTest>

using namespace talvex;

class TestPngIcon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void icons_drawTheTwiceImageOnDenseScreens_data();
    void icons_drawTheTwiceImageOnDenseScreens();
};

void TestPngIcon::icons_drawTheTwiceImageOnDenseScreens_data()
{
    QTest::addColumn<QIcon>("icon");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("shown"); // the size it is shown at on an ordinary screen

    QTest::newRow("point") << kindIcon(1) << "kind-01-point" << kindIconSize();
    QTest::newRow("speed") << kindIcon(5) << "kind-05-speed" << kindIconSize();
    QTest::newRow("home") << kindIcon(11) << "kind-11-home" << kindIconSize();
    QTest::newRow("no kind") << kindIcon(0) << "kind-unknown" << kindIconSize();
    QTest::newRow("past the kinds") << kindIcon(12) << "kind-unknown" << kindIconSize();
    QTest::newRow("application") << pngIcon(QStringLiteral("talvex")) << "talvex" << QSize(64, 64);
}

void TestPngIcon::icons_drawTheTwiceImageOnDenseScreens()
{
    QFETCH(QIcon, icon);
    QFETCH(QString, name);
    QFETCH(QSize, shown);
    const QImage once(QStringLiteral(":/icons/%1.png").arg(name));
    const QImage twice(QStringLiteral(":/icons/%1@2x.png").arg(name));
    QCOMPARE(once.size(), shown);
    QCOMPARE(twice.size(), shown * 2);
    QCOMPARE(icon.availableSizes(), (QList<QSize>{shown, shown * 2}));

    // Each screen gets its own image, not the other one scaled.
    const QPixmap sharp = icon.pixmap(shown, 2.0);
    QCOMPARE(sharp.devicePixelRatio(), 2.0);
    QCOMPARE(sharp.toImage().convertToFormat(twice.format()), twice);
    QCOMPARE(icon.pixmap(shown, 1.0).toImage().convertToFormat(once.format()), once);
}

QTEST_MAIN(TestPngIcon)
#include "tst_pngicon.moc"

#include "app/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace talvex;

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void restore_comesBackOntoAScreen_data();
    void restore_comesBackOntoAScreen();
};

void TestWindowPlacement::restore_comesBackOntoAScreen_data()
{
    QTest::addColumn<QPoint>("offset"); // from the primary screen's corner when saved
    QTest::addColumn<bool>("kept");
    QTest::newRow("on the screen") << QPoint(30, 40) << true;
    QTest::newRow("far off every screen") << QPoint(20000, 15000) << false;
}

void TestWindowPlacement::restore_comesBackOntoAScreen()
{
    QFETCH(QPoint, offset);
    QFETCH(bool, kept);
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("station.conf")), QSettings::IniFormat);
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    {
        QWidget saved;
        saved.setMinimumSize(200, 150);
        saved.setGeometry(QRect(room.topLeft() + offset, QSize(320, 240)));
        saveWindowPlacement(saved, settings);
    }
    QWidget window;
    window.setMinimumSize(200, 150);
    restoreWindowPlacement(window, settings);
    QCOMPARE(window.size(), QSize(320, 240));
    QCOMPARE(room.intersects(window.frameGeometry()), true);
    QCOMPARE(window.pos() == room.topLeft() + offset, kept);
}

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"

#include "app/recentfiles.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "files/programfile.h"
#include "testing/mainwindowfixture.h"
#include "testing/stepbuilder.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTest>

using namespace talvex;
using namespace talvex::testing;

class TestRecentFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recent_lastEightNewestFirstAndGoneOnesDropped();
};

void TestRecentFiles::recent_lastEightNewestFirstAndGoneOnesDropped()
{
    MainWindowFixture fixture;
    QSettings settings(fixture.filePath(QStringLiteral("station.conf")), QSettings::IniFormat);
    RecentFiles recent(fixture.window(), settings);
    QStringList paths;
    for (int i = 1; i <= 9; ++i) {
        paths << fixture.filePath(QStringLiteral("p%1.tvx").arg(i));
        QVERIFY(writeProgramFile(paths.back(), tableOf(QStringList(i, QStringLiteral("HOME"))), i));
        recent.use(paths.back());
    }
    recent.use(paths.at(4)); // opened again: to the top, not twice
    QCOMPARE(recent.files().size(), RecentFiles::kKept);
    QCOMPARE(recent.files().front(), paths.at(4));
    QCOMPARE(recent.files().at(1), paths.at(8));
    QVERIFY(!recent.files().contains(paths.at(0)));
    QCOMPARE(fixture.window().ui().recentMenu->actions().size(), RecentFiles::kKept);
    QCOMPARE(settings.value(QStringLiteral("recentFiles")).toStringList(), recent.files()); // kept per user

    // Choosing one opens it; one that is gone leaves the list with a notice.
    fixture.window().ui().recentMenu->actions().at(1)->trigger();
    QCOMPARE(fixture.window().document().lastRow(), 9);
    QVERIFY(QFile::remove(paths.at(7)));
    recent.open(paths.at(7));
    QCOMPARE(fixture.op().notices().size(), 1);
    QVERIFY(fixture.op().notices().front().contains(paths.at(7)));
    QVERIFY(!recent.files().contains(paths.at(7)));
    QCOMPARE(fixture.window().document().lastRow(), 9);
}

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"

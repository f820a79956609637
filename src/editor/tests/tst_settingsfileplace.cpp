// What stands in DATA.TXT's place at start-up, and what choosing a port does with it:
// only a regular file (or a link to one) is read or written; anything else counts as
// no settings file, and a settings file that cannot be read is told once.
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "testing/filekinds.h"
#include "testing/mainwindowfixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>

using namespace talvex;
using testing::FileKind;
using testing::ScriptedOperator;

class TestSettingsFilePlace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpThenChoosePort_data();
    void startUpThenChoosePort();
};

void TestSettingsFilePlace::startUpThenChoosePort_data()
{
    QTest::addColumn<QString>("place");   // what DATA.TXT is
    QTest::addColumn<QString>("panel");   // status panel 2 once started
    QTest::addColumn<bool>("toldUnread"); // the start-up notice that the file could not be read
    QTest::addColumn<bool>("written");    // choosing COM3 wrote "3" through DATA.TXT

    QTest::newRow("named pipe") << "fifo"
                                << "COM1" << false << false;
    QTest::newRow("link to a named pipe") << "link to fifo"
                                          << "COM1" << false << false;
    QTest::newRow("folder") << "folder"
                            << "COM1" << false << false;
    QTest::newRow("link to a settings file") << "link to file"
                                             << "COM2" << false << true;
    // /proc/self/mem is a regular file whose first bytes cannot be read (nothing is
    // mapped at address 0), for root too.
    QTest::newRow("link to a file that fails to read") << "link to /proc/self/mem"
                                                       << "COM1" << true << false;
    // Root reads a file whatever its mode, so only an ordinary user sees this one.
    if (testing::readPermissionHolds())
        QTest::newRow("no read permission") << "mode 000"
                                            << "COM1" << true << false;
}

void TestSettingsFilePlace::startUpThenChoosePort()
{
    QFETCH(QString, place);
    QFETCH(QString, panel);
    QFETCH(bool, toldUnread);
    QFETCH(bool, written);
    testing::MainWindowFixture fixture;
    ScriptedOperator &op = fixture.op();
    const QString data = QStringLiteral("DATA.TXT");
    const QString target = fixture.filePath(QStringLiteral("target"));
    if (place.startsWith(QLatin1String("link")) && !testing::canMakeFileKind(FileKind::SymbolicLink))
        QSKIP(testing::whyNoFileKind(FileKind::SymbolicLink));
    if (place.endsWith(QLatin1String("fifo")) && !testing::canMakeFileKind(FileKind::NamedPipe))
        QSKIP(testing::whyNoFileKind(FileKind::NamedPipe));
    if (place == QLatin1String("fifo")) {
        QVERIFY(testing::makeFileKind(FileKind::NamedPipe, data));
    } else if (place == QLatin1String("link to fifo")) {
        QVERIFY(testing::makeFileKind(FileKind::NamedPipe, target));
        QVERIFY(testing::makeFileKind(FileKind::SymbolicLink, data, target));
    } else if (place == QLatin1String("link to file")) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("2\r\n");
        file.close();
        QVERIFY(testing::makeFileKind(FileKind::SymbolicLink, data, target));
    } else if (place == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(data));
    } else if (place == QLatin1String("link to /proc/self/mem")) {
        QVERIFY(testing::makeFileKind(FileKind::SymbolicLink, data, QStringLiteral("/proc/self/mem")));
    } else {
        QFile file(data);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("2\r\n");
        file.close();
        QVERIFY(file.setPermissions({}));
    }

    MainWindow window(op, fixture.port(), fixture.clock());
    QCOMPARE(window.ui().statusPort->text(), panel);
    QVERIFY(op.notices().isEmpty()); // nothing before the window is up
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(50);
    window.hide();
    window.show();
    QTest::qWait(50);
    if (toldUnread) {
        QCOMPARE(op.notices().size(), 1);
        const ScriptedOperator::Shown &told = op.shown().front();
        QVERIFY2(told.text.startsWith(QStringLiteral("無法讀取設定檔 ") + fixture.filePath(data)) &&
                     told.text.contains(QStringLiteral("改用 COM1")),
                 qPrintable(told.text));
        QCOMPARE(told.title, QStringLiteral("訊息"));
    } else {
        QVERIFY2(op.notices().isEmpty(), qPrintable(op.notices().join(QLatin1Char('|'))));
    }

    op.clear();
    window.ui().comActions[2]->trigger();
    QCOMPARE(window.ui().statusPort->text(), QStringLiteral("COM3"));
    const QFileInfo placeNow(data);
    if (written) {
        QVERIFY(op.notices().isEmpty());
        QVERIFY(placeNow.isSymLink());
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("3\r\n"));
    } else {
        QCOMPARE(op.notices().size(), 1);
        QVERIFY2(op.notices().at(0).startsWith(QStringLiteral("無法寫入設定檔 ")), qPrintable(op.notices().at(0)));
        // What was there is still there, as it was.
        QCOMPARE(placeNow.isSymLink(), place.startsWith(QLatin1String("link")));
        QCOMPARE(placeNow.isFile(), place != QLatin1String("fifo") && place != QLatin1String("link to fifo") &&
                                        place != QLatin1String("folder"));
    }
}

QTEST_MAIN(TestSettingsFilePlace)
#include "tst_settingsfileplace.moc"

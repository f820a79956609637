#include "app/stationrecovery.h"
#include "editor/mainwindow.h"
#include "files/recoveryformat.h"
#include "testing/mainwindowfixture.h"
#include "testing/stepbuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace talvex;
using namespace talvex::testing;

// A program taken back from a left-over recovery file: the left-over goes only once
// this station's own recovery file holds the program, so a second crash cannot lose it.
class TestStationRecovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void takenBack_leftOverGoesOnceTheProgramIsKeptAgain_data();
    void takenBack_leftOverGoesOnceTheProgramIsKeptAgain();
    void nothingToOffer_goesUnlessItCouldNotBeRead_data();
    void nothingToOffer_goesUnlessItCouldNotBeRead();
};

void TestStationRecovery::takenBack_leftOverGoesOnceTheProgramIsKeptAgain_data()
{
    QTest::addColumn<bool>("ownFileWritable");
    QTest::newRow("own file written") << true;
    QTest::newRow("own file cannot be written") << false;
}

void TestStationRecovery::takenBack_leftOverGoesOnceTheProgramIsKeptAgain()
{
    QFETCH(bool, ownFileWritable);
    MainWindowFixture fixture;
    const QString folder = fixture.filePath(QStringLiteral("recovery"));
    QVERIFY(QDir().mkpath(folder));
    RecoveredProgram program;
    program.table = tableOf({"HOME", "WT|1000"});
    program.lastRow = 2;
    // A station that is gone: its file, and no lock anybody holds.
    QFile leftOver(folder + QStringLiteral("/station-1-1.tvx"));
    QVERIFY(leftOver.open(QIODevice::WriteOnly));
    leftOver.write(recoveryFileBytes(program));
    leftOver.close();

    StationRecovery recovery(fixture.window(), folder);
    if (!ownFileWritable)
        QVERIFY(QDir().mkpath(recovery.file().path())); // a folder in its place
    fixture.op().answerYes();
    QCOMPARE(recovery.offerLeftOvers(), 1);
    QCOMPARE(fixture.window().document().lastRow(), 2);
    QCOMPARE(fixture.window().document().table().row(2), stepOf(QStringLiteral("WT|1000")));
    QCOMPARE(QFileInfo(recovery.file().path()).isFile(), ownFileWritable);
    QCOMPARE(leftOver.exists(), !ownFileWritable);
}

void TestStationRecovery::nothingToOffer_goesUnlessItCouldNotBeRead_data()
{
    QTest::addColumn<QString>("leftOver"); // what the left-over file is
    QTest::addColumn<bool>("kept");
    QTest::newRow("no step in it") << "empty program" << false;
    // /proc/self/mem is a regular file whose first bytes cannot be read, for root too.
    QTest::newRow("cannot be read") << "link to /proc/self/mem" << true;
}

void TestStationRecovery::nothingToOffer_goesUnlessItCouldNotBeRead()
{
    QFETCH(QString, leftOver);
    QFETCH(bool, kept);
    MainWindowFixture fixture;
    const QString folder = fixture.filePath(QStringLiteral("recovery"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/station-1-1.tvx");
    if (leftOver == QLatin1String("empty program")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(recoveryFileBytes(RecoveredProgram{}));
    } else {
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
    }

    StationRecovery recovery(fixture.window(), folder);
    QCOMPARE(recovery.offerLeftOvers(), 0); // nothing asked
    QCOMPARE(QFileInfo(path).isSymLink() || QFileInfo::exists(path), kept);
}

QTEST_MAIN(TestStationRecovery)
#include "tst_stationrecovery.moc"

#include "app/stationrecovery.h"
#include "editor/mainwindow.h"
#include "files/recoveryformat.h"
#include "testing/filekinds.h"
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
namespace {

/// The recovery file of a station that is gone, holding @p rows: its file in
/// @p folder, and no lock anybody holds. Returns its path.
QString writeLeftOver(const QString &folder, const QStringList &rows)
{
    RecoveredProgram program;
    program.table = tableOf(rows);
    program.lastRow = static_cast<int>(rows.size());
    const QString path = folder + QStringLiteral("/station-1-1.tvx");
    QDir().mkpath(folder);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(recoveryFileBytes(program));
    return path;
}

} // namespace

class TestStationRecovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void takenBack_leftOverGoesOnceTheProgramIsKeptAgain_data();
    void takenBack_leftOverGoesOnceTheProgramIsKeptAgain();
    void question_onlyNoThrowsAway_data();
    void question_onlyNoThrowsAway();
    void problems_toldInTheWindow_data();
    void problems_toldInTheWindow();
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
    QFile leftOver(writeLeftOver(folder, {"HOME", "WT|1000"}));

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

void TestStationRecovery::question_onlyNoThrowsAway_data()
{
    QTest::addColumn<int>("answer"); // 0 No, 1 Yes, 2 Cancel (Escape, the close box)
    QTest::addColumn<bool>("kept");
    QTest::addColumn<int>("steps");
    QTest::newRow("No") << 0 << false << 0;
    QTest::newRow("Yes") << 1 << false << 1;
    QTest::newRow("Cancel") << 2 << true << 0;
}

void TestStationRecovery::question_onlyNoThrowsAway()
{
    QFETCH(int, answer);
    QFETCH(bool, kept);
    QFETCH(int, steps);
    MainWindowFixture fixture;
    const QString folder = fixture.filePath(QStringLiteral("recovery"));
    QFile leftOver(writeLeftOver(folder, {"HOME"}));

    StationRecovery recovery(fixture.window(), folder);
    if (answer == 0)
        fixture.op().answerNo();
    else if (answer == 1)
        fixture.op().answerYes();
    else
        fixture.op().answerCancel();
    QCOMPARE(recovery.offerLeftOvers(), 1);
    QCOMPARE(fixture.op().shown().front().kind, ScriptedOperator::Kind::YesNoCancel);
    QCOMPARE(leftOver.exists(), kept);
    QCOMPARE(fixture.window().document().lastRow(), steps);
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
    } else if (!canMakeFileKind(FileKind::SymbolicLink)) {
        QSKIP(whyNoFileKind(FileKind::SymbolicLink));
    } else {
        QVERIFY(makeFileKind(FileKind::SymbolicLink, path, QStringLiteral("/proc/self/mem")));
    }

    StationRecovery recovery(fixture.window(), folder);
    QCOMPARE(recovery.offerLeftOvers(), 0); // nothing asked
    QCOMPARE(QFileInfo(path).isSymLink() || QFileInfo::exists(path), kept);
}

void TestStationRecovery::problems_toldInTheWindow_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("told");
    QTest::newRow("folder cannot be made") << "folder"
                                           << "無法在";
    QTest::newRow("left-over over 16 MB") << "large"
                                          << "太大";
}

void TestStationRecovery::problems_toldInTheWindow()
{
    QFETCH(QString, problem);
    QFETCH(QString, told);
    MainWindowFixture fixture;
    QString folder = fixture.filePath(QStringLiteral("recovery"));
    QString large;
    if (problem == QLatin1String("folder")) {
        QFile blocker(fixture.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        folder = fixture.filePath(QStringLiteral("file/recovery")); // through a plain file
    } else {
        QVERIFY(QDir().mkpath(folder));
        large = folder + QStringLiteral("/station-1-1.tvx");
        QFile file(large);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(17 * 1024 * 1024));
    }
    StationRecovery recovery(fixture.window(), folder);
    QTRY_COMPARE(fixture.op().notices().size(), 1);
    QVERIFY2(fixture.op().notices().front().contains(told), qPrintable(fixture.op().notices().front()));
    if (!large.isEmpty())
        QVERIFY(QFileInfo::exists(large));
}

QTEST_MAIN(TestStationRecovery)
#include "tst_stationrecovery.moc"

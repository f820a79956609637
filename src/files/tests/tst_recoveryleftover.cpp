// The recovery folder as a crash, a tester or another machine may leave it: what is
// offered back, what is left alone, and what the operator is told.
#include "files/programfile.h"
#include "files/recoveryfile.h"
#include "files/recoveryleftover.h"
#include "testing/filekinds.h"
#include "testing/stepbuilder.h"

#include <QDateTime>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

using namespace talvex;
using testing::FileKind;

namespace {

RecoveredProgram oneStep()
{
    return RecoveredProgram{testing::tableOf({"HOME"}), 1, {}, true};
}

/// Writes @p bytes to @p path, last changed @p ageSeconds ago.
bool writeFile(const QString &path, const QByteArray &bytes, int ageSeconds = 3600)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
           file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime);
}

bool makePipe(const QString &path)
{
    return testing::makeFileKind(FileKind::NamedPipe, path);
}

} // namespace

class TestRecoveryLeftOver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void find_offersWhatNoStationHereHolds_data();
    void find_offersWhatNoStationHereHolds();
    void tooLarge_keptAndReported();
    void unwritableFolder_reported();
};

void TestRecoveryLeftOver::find_offersWhatNoStationHereHolds_data()
{
    QTest::addColumn<bool>("offered"); // the row's name says what stands in the folder
    QTest::newRow("no lock") << true;
    QTest::newRow("empty lock") << true;
    QTest::newRow("damaged lock") << true;
    QTest::newRow("lock of another machine") << true;
    QTest::newRow("empty lock being written") << false;
    QTest::newRow("lock of a running station") << false;
    QTest::newRow("named pipe as the lock") << false;
    QTest::newRow("link to a named pipe as the file") << false;
}

void TestRecoveryLeftOver::find_offersWhatNoStationHereHolds()
{
    QFETCH(bool, offered);
    const QString row = QString::fromLatin1(QTest::currentDataTag());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("station-1-1.tvx"));
    const QString lock = dir.filePath(QStringLiteral("station-1-1.lock"));
    // A named pipe stands beside the left-over wherever the system has them.
    const bool pipes = testing::canMakeFileKind(FileKind::NamedPipe);
    if (row.contains(QLatin1String("pipe")) && !pipes)
        QSKIP(testing::whyNoFileKind(FileKind::NamedPipe));
    if (pipes)
        QVERIFY(makePipe(dir.filePath(QStringLiteral("pipe"))));
    if (row.startsWith(QLatin1String("link")))
        QVERIFY(testing::makeFileKind(FileKind::SymbolicLink, path, dir.filePath(QStringLiteral("pipe"))));
    else
        QVERIFY(writeFile(path, recoveryFileBytes(oneStep())));
    const QHash<QString, QByteArray> lockBytes{{"empty lock", {}},
                                               {"damaged lock", "\x7f not a lock\n"},
                                               {"lock of another machine", "42\ntalvex-station\nelsewhere.example\n"}};
    QLockFile running(lock);
    if (lockBytes.contains(row))
        QVERIFY(writeFile(lock, lockBytes.value(row)));
    else if (row == QLatin1String("empty lock being written"))
        QVERIFY(writeFile(lock, {}, 0));
    else if (row == QLatin1String("lock of a running station"))
        QVERIFY(running.tryLock(0));
    else if (row == QLatin1String("named pipe as the lock"))
        QVERIFY(makePipe(lock));

    {
        const std::vector<RecoveryLeftOver> found = RecoveryLeftOver::find(dir.path());
        QCOMPARE(found.size(), offered ? 1U : 0U);
        QVERIFY(!offered || found.front().read().has_value());
    }
    QVERIFY(QFileInfo(path).isSymLink() || QFileInfo::exists(path));
    // A left-over's lock goes with it; a lock that holds its file back stays.
    QCOMPARE(QFileInfo::exists(lock), !offered && row.contains(QLatin1String("lock")));
}

void TestRecoveryLeftOver::tooLarge_keptAndReported()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("station-1-1.tvx"));
    QVERIFY(writeFile(path, recoveryFileBytes(oneStep())));
    QVERIFY(QFile::resize(path, kMaxProgramFileBytes + 1));
    std::vector<RecoveryLeftOver> found = RecoveryLeftOver::find(dir.path());
    QCOMPARE(found.size(), 1U);
    bool unreadable = false;
    QVERIFY(!found.front().read(&unreadable) && unreadable); // so the offer keeps it
    RecoveryLeftOver::ReadProblem problem = RecoveryLeftOver::ReadProblem::None;
    QVERIFY(!found.front().read(&problem) && problem == RecoveryLeftOver::ReadProblem::TooLarge);
    found.front().remove();
    QVERIFY(QFile::exists(path));
    QCOMPARE(RecoveryLeftOver::tooLargeNotice(path),
             QStringLiteral("未存檔程式的備份 %1 太大 (超過 16 MB), 無法還原, 已保留該檔案。").arg(path));
}

void TestRecoveryLeftOver::unwritableFolder_reported()
{
    // Permission bits do not stop root; a path through a regular file stops everyone.
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("file")), "not a folder"));
    const QString folder = dir.filePath(QStringLiteral("file/recovery"));
    RecoveryFile file(folder);
    file.contents = oneStep;
    QVERIFY(!file.open() && !file.writeNow() && !file.errorString().isEmpty());
    QCOMPARE(file.failureNotice(),
             QStringLiteral("無法在 %1 建立未存檔程式的備份, 未存檔的工作不會被保留!").arg(folder));
}

QTEST_GUILESS_MAIN(TestRecoveryLeftOver)
#include "tst_recoveryleftover.moc"

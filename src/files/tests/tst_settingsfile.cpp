#include "files/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace talvex;

class TestSettingsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void read_missingFileMeansPortOneAndCreatesNothing();
    void read_firstLineAsItStands_data();
    void read_firstLineAsItStands();
    void write_digitThenCrLfAndReadsBack();
    void write_replacesLongerContents();
    void write_unwritableDirectoryReportsWhy();
    void path_followsWorkingDirectory();

private:
    void writeRaw(const QByteArray &bytes);
    QTemporaryDir *m_dir = nullptr;
    QString m_oldCwd;
};

void TestSettingsFile::init()
{
    m_oldCwd = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestSettingsFile::cleanup()
{
    QDir::setCurrent(m_oldCwd);
    delete m_dir;
    m_dir = nullptr;
}

void TestSettingsFile::writeRaw(const QByteArray &bytes)
{
    QFile f(QStringLiteral("DATA.TXT"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void TestSettingsFile::read_missingFileMeansPortOneAndCreatesNothing()
{
    QCOMPARE(readPortSetting(), QStringLiteral("1"));
    QVERIFY(!QFile::exists(QStringLiteral("DATA.TXT")));
}

void TestSettingsFile::read_firstLineAsItStands_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("expected");
    QTest::newRow("digit and CR LF") << QByteArray("3\r\n") << "3";
    QTest::newRow("further lines ignored") << QByteArray("2\r\n4\r\nxyz\r\n") << "2";
    QTest::newRow("no line end") << QByteArray("4") << "4";
    QTest::newRow("LF only") << QByteArray("1\n") << "1";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("not a port number") << QByteArray("9\r\n") << "9";
    QTest::newRow("spaces kept") << QByteArray(" 2 \r\n") << " 2 ";
    QTest::newRow("runaway binary line is cut") << QByteArray(5000, 'x') << QString(256, QLatin1Char('x'));
}

void TestSettingsFile::read_firstLineAsItStands()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, expected);
    writeRaw(contents);
    QCOMPARE(readPortSetting(), expected);
}

void TestSettingsFile::write_digitThenCrLfAndReadsBack()
{
    QVERIFY(writePortSetting(QStringLiteral("3")));
    QFile f(QStringLiteral("DATA.TXT"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("3\r\n"));
    QCOMPARE(readPortSetting(), QStringLiteral("3"));
}

void TestSettingsFile::write_replacesLongerContents()
{
    writeRaw("1234567890\r\nmore\r\n");
    QVERIFY(writePortSetting(QStringLiteral("2")));
    QFile f(QStringLiteral("DATA.TXT"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("2\r\n"));
}

void TestSettingsFile::write_unwritableDirectoryReportsWhy()
{
    // A directory in the file's place cannot be replaced, even by root.
    QVERIFY(QDir().mkdir(QStringLiteral("DATA.TXT")));
    QString reason;
    QVERIFY(!writePortSetting(QStringLiteral("2"), &reason));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(readPortSetting(), QStringLiteral("1"));
}

void TestSettingsFile::path_followsWorkingDirectory()
{
    QCOMPARE(settingsFilePath(), QDir(m_dir->path()).filePath(QStringLiteral("DATA.TXT")));
    QDir().mkdir(QStringLiteral("sub"));
    QVERIFY(QDir::setCurrent(QStringLiteral("sub")));
    QCOMPARE(readPortSetting(), QStringLiteral("1"));
    QVERIFY(writePortSetting(QStringLiteral("4")));
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("sub/DATA.TXT"))));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("DATA.TXT"))));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"

// talvex-sim as a program: command lines it refuses before it opens anything, leaving
// every file it was pointed at as it was, and control lines that are each answered
// by one short line whatever they hold.
#include "simprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using talvex::sim::testing::SimProcess;

namespace {

// What the test puts at the path "IT" in its folder before the simulator starts.
enum class Thing
{
    Nothing,
    File,
    Folder,
    LinkToFile,
    LinkToNothing,
    LongStore, // one line more than a download can carry
    Fifo,
};

void make(Thing thing, const QString &path, const QString &folder)
{
    const QString target = QDir(folder).filePath("target");
    auto write = [](const QString &file, const QByteArray &bytes) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    };
    switch (thing) {
    case Thing::Nothing:
        break;
    case Thing::File:
        write(path, "keep me\n");
        break;
    case Thing::Folder:
        QVERIFY(QDir().mkdir(path));
        break;
    case Thing::LinkToFile:
        write(target, "keep me\n");
        QVERIFY(QFile::link(target, path));
        break;
    case Thing::LinkToNothing:
        QVERIFY(QFile::link(QDir(folder).filePath("nowhere"), path));
        break;
    case Thing::LongStore:
        write(path, QByteArray("OUTP 1;\r\n").repeated(4001));
        break;
    case Thing::Fifo:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    }
}

// Every name in the folder with what it is and holds, so that a refused start is
// seen to have created, emptied, replaced and removed nothing.
QStringList snapshot(const QString &folder)
{
    QStringList out;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        QString text = entry.fileName();
        if (entry.isSymLink()) {
            text += " -> " + entry.symLinkTarget();
        } else if (entry.isDir()) {
            text += "/";
        } else if (!entry.isFile()) {
            text += " (not a file)"; // a named pipe is never opened
        } else {
            QFile file(entry.filePath());
            if (file.open(QIODevice::ReadOnly))
                text += " " + QString::number(qHash(file.readAll()));
        }
        out << text;
    }
    return out;
}

} // namespace

class TestSimCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void start_refused_data();
    void start_refused();
    void controlLines_eachAnsweredShortly_data();
    void controlLines_eachAnsweredShortly();
};

void TestSimCommandLine::start_refused_data()
{
    QTest::addColumn<int>("thing");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    // 2: the command line itself is wrong; 1: it names a path that cannot serve.
    const QString exists = "something exists there already; not replacing it";
    QTest::newRow("link over a link") << int(Thing::LinkToFile) << QStringList{"--link", "IT"} << 1 << exists;
    QTest::newRow("link over a link to nothing")
        << int(Thing::LinkToNothing) << QStringList{"--link", "IT"} << 1 << exists;
    QTest::newRow("link over a file") << int(Thing::File) << QStringList{"--link", "IT"} << 1 << exists;
    QTest::newRow("link over a folder") << int(Thing::Folder) << QStringList{"--link", "IT"} << 1 << exists;
    QTest::newRow("link to the empty text")
        << int(Thing::Nothing) << QStringList{"--link", ""} << 2 << "expects a file name";

    const QString overwrite = "it exists already; not overwriting it";
    QTest::newRow("capture over a file") << int(Thing::File) << QStringList{"--capture", "IT"} << 1 << overwrite;
    QTest::newRow("capture over a link") << int(Thing::LinkToFile) << QStringList{"--capture", "IT"} << 1 << overwrite;
    // Refused before anything is opened or published: no link is left behind.
    const QString notRegular = "not a regular file";
    QTest::newRow("append to a named pipe")
        << int(Thing::Fifo) << QStringList{"--capture-append", "IT", "--link", "IT.link"} << 1 << notRegular;
    QTest::newRow("append to a folder") << int(Thing::Folder)
                                        << QStringList{"--capture-append", "IT", "--link", "IT.link"} << 1
                                        << notRegular;
    QTest::newRow("capture both ways") << int(Thing::Nothing)
                                       << QStringList{"--capture", "IT", "--capture-append", "IT"} << 2 << "not both";

    QTest::newRow("store a folder") << int(Thing::Folder) << QStringList{"--store", "IT"} << 1 << "not a regular file";
    QTest::newRow("store in a missing folder")
        << int(Thing::Nothing) << QStringList{"--store", "IT/program.txt"} << 1 << "does not exist";
    QTest::newRow("store where nothing is written")
        << int(Thing::Nothing) << QStringList{"--store", "/proc/version"} << 1 << "no file can be written in /proc";
    QTest::newRow("store the empty text")
        << int(Thing::Nothing) << QStringList{"--store", ""} << 2 << "expects a file name";
    QTest::newRow("store too large") << int(Thing::LongStore) << QStringList{"--store", "IT"} << 1
                                     << "more than 4000 lines, more than a download can carry";

    const QString scale = "--time-scale expects a number from 0.001 to 1000";
    QTest::newRow("time all but stopped") << int(Thing::Nothing) << QStringList{"--time-scale", "1e-300"} << 2 << scale;
    QTest::newRow("time too fast") << int(Thing::Nothing) << QStringList{"--time-scale", "1000.5"} << 2 << scale;
    QTest::newRow("time not a number") << int(Thing::Nothing) << QStringList{"--time-scale", "nan"} << 2 << scale;
    const QString baud = "--baud expects a whole number from 50 to 4000000";
    QTest::newRow("baud 0") << int(Thing::Nothing) << QStringList{"--baud", "0"} << 2 << baud;
    QTest::newRow("baud negative") << int(Thing::Nothing) << QStringList{"--baud", "-9600"} << 2 << baud;
    QTest::newRow("baud beyond any port") << int(Thing::Nothing) << QStringList{"--baud", "4000001"} << 2 << baud;
    const QString port = "--listen expects [HOST:]PORT with PORT from 0 to 65535";
    QTest::newRow("listen on no port") << int(Thing::Nothing) << QStringList{"--listen", "abc"} << 2 << port;
    QTest::newRow("listen beyond the ports") << int(Thing::Nothing) << QStringList{"--listen", "65536"} << 2 << port;
    QTest::newRow("listen on a name") << int(Thing::Nothing) << QStringList{"--listen", "localhost:0"} << 2
                                      << "\"localhost\" is not an IP address";
    // An address of no interface here (TEST-NET-1) cannot be bound; nothing is captured.
    QTest::newRow("listen where it cannot")
        << int(Thing::Nothing) << QStringList{"--listen", "192.0.2.1:0", "--capture", "IT"} << 1
        << "--listen 192.0.2.1:0:";
}

void TestSimCommandLine::start_refused()
{
    QFETCH(int, thing);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString it = dir.filePath("IT");
    make(static_cast<Thing>(thing), it, dir.path());
    arguments.replaceInStrings(QRegularExpression("^IT"), it);
    if (!arguments.contains("--store"))
        arguments << "--store" << dir.filePath("store.txt");
    const QStringList before = snapshot(dir.path());

    QProcess sim;
    // A simulator that did start ends as soon as its input closes.
    sim.start(QStringLiteral(TALVEX_SIM_EXECUTABLE), QStringList{"--headless", "--attached"} + arguments);
    sim.closeWriteChannel();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), status);
    QCOMPARE(sim.readAllStandardOutput(), QByteArray()); // no device was announced
    const QString error = QString::fromUtf8(sim.readAllStandardError());
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(snapshot(dir.path()), before);
}

void TestSimCommandLine::controlLines_eachAnsweredShortly_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reply");
    const QString tooLong = "error line too long: more than 65536 bytes, ignored";
    QTest::newRow("empty") << QString() << "error empty command";
    QTest::newRow("blanks only") << " \t "
                                 << "error empty command";
    QTest::newRow("longest run") << QString(65536, 'x') << "error unknown command: " + QString(80, 'x') + "...";
    QTest::newRow("one byte too long") << QString(65537, 'x') << tooLong;
    QTest::newRow("flood") << QString(4 << 20, 'x') << tooLong;
}

void TestSimCommandLine::controlLines_eachAnsweredShortly()
{
    QFETCH(QString, line);
    QFETCH(QString, reply);
    QTemporaryDir dir;
    SimProcess sim;
    QVERIFY(sim.start({"--store", dir.filePath("store.txt")}));
    QCOMPARE(sim.command(line), reply);
    // Still in step: the next command gets its own reply.
    QCOMPARE(sim.command("pos"), "pos 0 0");
}

QTEST_GUILESS_MAIN(TestSimCommandLine)
#include "tst_simcommandline.moc"

// End to end: the station's own link code (Qt serial port, real sleeps) against
// talvex-sim --headless over its pseudo-terminal, watched through the simulator's
// control channel. The two sides share no protocol code, so these tests catch a
// misunderstanding of the line on either side.
#include "core/text.h"
#include "link/stationlink.h"
#include "table/programtable.h"
#include "testing/stationside.h"
#include "testing/stepbuilder.h"
#include "testing/workedexample.h"

#include "everyline.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>

#include <signal.h>

using namespace talvex;
using namespace talvex::testing;
using talvex::sim::testing::addEveryLineRows;
using talvex::sim::testing::SimProcess;
using talvex::sim::testing::SimulatorOnLine;

namespace {

const QString kSimulator = QStringLiteral(TALVEX_SIM_EXECUTABLE);
const QString kStation = QStringLiteral(TALVEX_STATION_EXECUTABLE);
/// The machine runs this much faster than real time: the worked example's seven
/// seconds of motion and waits pass in well under one.
const QString kTimeScale = QStringLiteral("20");

/// Uploads rows "KIND|IN|X|Y|OUT" with "修改加速度" ticked at 2000, answering the two
/// questions with @p save and @p run.
void upload(StationSide &station, const QStringList &rows, bool save, bool run)
{
    const ProgramTable table = tableOf(rows);
    const CompileOptions options = workedExampleOptions();
    save ? station.op.answerYes() : station.op.answerNo();
    run ? station.op.answerYes() : station.op.answerNo();
    station.upload.run(table, static_cast<int>(rows.size()), options, QStringLiteral("1"));
}

QByteArray downloadOf(const QStringList &lines)
{
    QByteArray bytes = "?VM\r\x1b\x1b"
                       "DL\r";
    for (const QString &line : lines)
        bytes += line.toLatin1() + '\r';
    return bytes + '\r';
}

const QByteArray kConnect = "?VM\r\x1b\x1b"
                            "EC 0\r";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool startsWith(const QString &reply, const char *prefix)
{
    return reply.startsWith(QLatin1String(prefix));
}

} // namespace

class TestSimE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void connect_probeAnsweredAndProgramStopped();
    void inputBoxes_followInputsFlippedBySimulator();
    void outputBoxes_switchSimulatorOutputs();
    void workedExample_uploadedRunWaitsAndLoops();
    void workedExample_sameBytesOverEveryLine_data();
    void workedExample_sameBytesOverEveryLine();
    void savedProgram_survivesSimulatorRestart();
    void ecZero_stopsRunningProgram();
    void echoAndReplyDelay_positionsStillRead_data();
    void echoAndReplyDelay_positionsStillRead();
    void baud_downloadKeepsToLineRate();
    void stationSimulate_startsSimulatorAndEndsIt();

private:
    QStringList storeOption() const { return {"--store", m_dir.filePath("store.txt")}; }

    QTemporaryDir m_dir;
    QString m_oldCwd;
};

void TestSimE2E::initTestCase()
{
    QVERIFY(QFile::exists(kSimulator));
    // The upload writes its listing into the working directory.
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
}

void TestSimE2E::cleanupTestCase()
{
    QDir::setCurrent(m_oldCwd);
}

void TestSimE2E::connect_probeAnsweredAndProgramStopped()
{
    SimProcess sim;
    QVERIFY(sim.start(storeOption() + QStringList{"--capture", m_dir.filePath("connect.bin")}));
    StationSide station(sim.device);
    station.link.connectController("1");
    QCOMPARE(station.op.texts(), QStringList{" 準備連線終止運作中程式"});
    QCOMPARE(station.view.status, QStringLiteral("連線中"));
    station.link.tick();
    QCOMPARE(station.view.acceleration, QStringLiteral("2000\r"));
    QVERIFY(station.view.checkedInputs().isEmpty());
    station.link.exit();
    // Five lines: the probe, "EC 0", the input poll's two queries and the exit's "EC 1".
    const QByteArray expected = kConnect + "?INP\r?VA\r" + "EC 1\r";
    const QString all = QStringLiteral("received %1 5").arg(expected.size());
    QCOMPARE(sim.waitFor("received", [&](const QString &r) { return r == all; }), all);
    QCOMPARE(readFile(m_dir.filePath("connect.bin")), expected);
    QCOMPARE(sim.command("unknown"), "unknown 0");
}

void TestSimE2E::inputBoxes_followInputsFlippedBySimulator()
{
    SimProcess sim;
    QVERIFY(sim.start(storeOption()));
    StationSide station(sim.device);
    station.link.connectController("1");
    QCOMPARE(sim.command("input 3 on"), "ok");
    QCOMPARE(sim.command("input 16 on"), "ok");
    station.link.tick();
    QCOMPARE(station.view.checkedInputs(), (QList<int>{3, 16}));
    QCOMPARE(sim.command("input 3 off"), "ok");
    QCOMPARE(sim.command("input 9 on"), "ok");
    station.link.tick();
    QCOMPARE(station.view.checkedInputs(), (QList<int>{9, 16}));
    QCOMPARE(sim.command("inputs 0"), "ok");
    station.link.tick();
    QVERIFY(station.view.checkedInputs().isEmpty());
}

void TestSimE2E::outputBoxes_switchSimulatorOutputs()
{
    SimProcess sim;
    QVERIFY(sim.start(storeOption()));
    StationSide station(sim.device);
    station.link.connectController("1");
    station.view.checkOutput(5, true);
    station.view.checkOutput(2, true);
    station.link.tick();
    QCOMPARE(sim.waitFor("outputs", [](const QString &r) { return r == "outputs 18"; }), "outputs 18");
    station.view.checkOutput(2, false);
    station.view.checkOutput(8, true);
    station.link.tick();
    QCOMPARE(sim.waitFor("outputs", [](const QString &r) { return r == "outputs 144"; }), "outputs 144");
    QCOMPARE(sim.command("unknown"), "unknown 0");
}

void TestSimE2E::workedExample_uploadedRunWaitsAndLoops()
{
    SimProcess sim;
    const QString capture = m_dir.filePath("worked.bin");
    QVERIFY(sim.start(storeOption() + QStringList{"--time-scale", kTimeScale, "--capture", capture}));
    StationSide station(sim.device);
    upload(station, workedExampleRows(), false, true);
    QVERIFY(!station.port.isOpen());
    QCOMPARE(station.op.unscripted(), 0);

    // The program waits at "WI 3;" (line 10), then at "WI 1;": highest input first.
    QCOMPARE(sim.waitFor("state", [](const QString &r) { return startsWith(r, "state running line 10"); }),
             "state running line 10 wait input 3");
    QCOMPARE(sim.command("program"), "program 25");
    const QStringList lines = workedExampleLines();
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(sim.command(QStringLiteral("line %1").arg(i)), QStringLiteral("line %1 %2").arg(i).arg(lines.at(i)));
    QCOMPARE(readFile(capture), kConnect + downloadOf(lines) + "G\r");
    QCOMPARE(sim.command("accel"), "accel 2000");
    QCOMPARE(sim.command("speed"), "speed 50");
    QCOMPARE(sim.command("pos"), "pos 0 0");
    QCOMPARE(sim.command("count 12"), "count 12 0");

    QCOMPARE(sim.command("input 1 on"), "ok"); // the wrong one first: still waiting for 3
    QCOMPARE(sim.command("state"), "state running line 10 wait input 3");
    QCOMPARE(sim.command("input 1 off"), "ok");
    QCOMPARE(sim.command("input 3 on"), "ok");
    QCOMPARE(sim.command("state"), "state running line 11 wait input 1");
    QCOMPARE(sim.command("input 1 on"), "ok");

    const QString end = sim.waitFor("state", [](const QString &r) { return r == "state idle"; });
    QCOMPARE(end, "state idle");
    const QString point = "input 3; input 1; done 100 200; outputs 1";
    QCOMPARE(sim.command("events"), "events start; " + point + "; " + point + "; " + point + "; done 0 0; end");
    QCOMPARE(sim.command("count 12"), "count 12 3"); // XMA 100;
    QCOMPARE(sim.command("count 16"), "count 16 3"); // WT 1000;
    QCOMPARE(sim.command("count 19"), "count 19 1"); // XH;
    QCOMPARE(sim.command("outputs"), "outputs 1");
    QCOMPARE(sim.command("pos"), "pos 0 0");
    QCOMPARE(sim.command("unknown"), "unknown 0");
}

void TestSimE2E::workedExample_sameBytesOverEveryLine_data()
{
    addEveryLineRows();
}

void TestSimE2E::workedExample_sameBytesOverEveryLine()
{
    QFETCH(QString, line);
    SimulatorOnLine far(line);
    if (far.lacksSer2net())
        QSKIP("ser2net is not installed (scripts/setup installs it)");
    const QString capture = m_dir.filePath(line.left(3) + QStringLiteral(".bin"));
    QVERIFY(far.start(storeOption() + QStringList{"--capture", capture}, m_dir.path()));
    SimProcess &sim = far.sim;
    StationSide station(far.address());
    station.link.connectController(QStringLiteral("1"));
    QCOMPARE(station.view.status, QStringLiteral("連線中"));
    const QStringList lines = workedExampleLines();
    upload(station, {"VM|50", "LOOP|3", "POINT|5|100|200|1", "WT|1000", "LOOPEND", "HOME"}, false, false);
    QCOMPARE(sim.waitFor("program", [](const QString &r) { return r == "program 25"; }), "program 25");
    QCOMPARE(readFile(capture), kConnect + downloadOf(lines));
    QCOMPARE(station.op.notices(), QStringList{" 準備連線終止運作中程式"});
    if (line.startsWith(QLatin1String("telnet"))) {
        // The line behind the device server was set as the station asked: 9600 8N1.
        QProcess stty;
        stty.start(QStringLiteral("stty"), {"-a", "-F", sim.device});
        QVERIFY(stty.waitForFinished());
        const QString settings = QString::fromLatin1(stty.readAllStandardOutput());
        QVERIFY2(settings.contains(QLatin1String("9600")) && settings.contains(QLatin1String("cs8")) &&
                     settings.contains(QLatin1String("-parenb")) && settings.contains(QLatin1String("-cstopb")),
                 qPrintable(settings));
    }
    station.link.exit();
}

void TestSimE2E::savedProgram_survivesSimulatorRestart()
{
    QFile::remove(m_dir.filePath("store.txt"));
    {
        SimProcess sim;
        QVERIFY(sim.start(storeOption()));
        StationSide station(sim.device);
        upload(station, workedExampleRows(), true, false);
        QCOMPARE(sim.waitFor("program", [](const QString &r) { return r == "program 25"; }), "program 25");
        QCOMPARE(sim.command("state"), "state idle");
        sim.stop();
        QCOMPARE(sim.process().exitCode(), 0);
    }
    SimProcess again;
    QVERIFY(again.start(storeOption() + QStringList{"--time-scale", kTimeScale}));
    QCOMPARE(again.command("program"), "program 25");
    QCOMPARE(again.command("line 12"), "line 12 XMA 100;");
    StationSide station(again.device);
    station.link.connectController("1");
    station.link.session().runProgram();
    QCOMPARE(again.waitFor("state", [](const QString &r) { return startsWith(r, "state running line 10"); }),
             "state running line 10 wait input 3");
}

void TestSimE2E::ecZero_stopsRunningProgram()
{
    SimProcess sim;
    QVERIFY(sim.start(storeOption()));
    StationSide station(sim.device);
    upload(station, {"POINT|0|5|5|2", "WT|600000", "POINT|0|9|9|4"}, false, true);
    QCOMPARE(sim.waitFor("state", [](const QString &r) { return r.contains("wait time"); }).left(27),
             "state running line 10 wait ");
    QCOMPARE(sim.command("outputs"), "outputs 2");
    station.link.connectController("1"); // announces it, then sends ESC ESC "EC 0"
    QCOMPARE(sim.waitFor("state", [](const QString &r) { return r == "state idle"; }), "state idle");
    QVERIFY(sim.command("events").endsWith("; stop"));
    QCOMPARE(sim.command("outputs"), "outputs 2");
    QCOMPARE(sim.command("pos"), "pos 5 5");
}

void TestSimE2E::echoAndReplyDelay_positionsStillRead_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("echo") << QStringList{"--echo"};
    QTest::newRow("reply delay 30 ms") << QStringList{"--reply-delay", "30"};
    QTest::newRow("echo and delay 20 ms") << QStringList{"--echo", "--reply-delay", "20"};
}

void TestSimE2E::echoAndReplyDelay_positionsStillRead()
{
    QFETCH(QStringList, options);
    SimProcess sim;
    QVERIFY(sim.start(storeOption() + options));
    StationSide station(sim.device);
    station.link.connectController("1");
    QCOMPARE(station.view.status, QStringLiteral("連線中"));
    Line &link = station.link.line();
    link.writeText("HOFF");
    link.writeRaw("\r");
    QCOMPARE(sim.waitFor("mode", [](const QString &r) { return r == "mode HOFF"; }), "mode HOFF");
    QCOMPARE(sim.command("jog x 12.5"), "ok");
    QCOMPARE(sim.command("jog y 30"), "ok");
    link.sleeper().sleep(60);
    link.readText(); // whatever the echo of HOFF left behind
    const QString x = link.timedQuery("?PEX");
    const QString y = link.timedQuery("?PEY");
    QVERIFY2(x.contains("12.5"), qPrintable(x));
    QVERIFY2(y.contains("30"), qPrintable(y));
    QCOMPARE(coordinateText(x), QStringLiteral("12.5"));
    QCOMPARE(coordinateText(y), QStringLiteral("30"));
    QCOMPARE(x.startsWith("?PEX\r"), options.contains("--echo"));
}

void TestSimE2E::baud_downloadKeepsToLineRate()
{
    SimProcess sim;
    const QString capture = m_dir.filePath("baud.bin");
    QVERIFY(sim.start(storeOption() + QStringList{"--baud", "9600", "--capture", capture}));
    StationSide station(sim.device);
    station.link.connectController("1");
    const QByteArray expected = kConnect + downloadOf(workedExampleLines());
    const QString done = QStringLiteral("received %1").arg(expected.size());
    QElapsedTimer timer;
    timer.start();
    upload(station, workedExampleRows(), false, false);
    QCOMPARE(sim.waitFor("received", [&](const QString &r) { return r.startsWith(done); }).section(' ', 0, 1), done);
    // Ten bits a byte at 9600 baud: the download (all but the connect) takes at least
    // its size in bytes times 1.04 ms, less the 20 ms the idle line may bank.
    const double lineMs = (expected.size() - kConnect.size()) * 10.0 / 9600.0 * 1000.0;
    QVERIFY2(timer.elapsed() >= lineMs - 25,
             qPrintable(QStringLiteral("%1 ms for %2 ms of line").arg(timer.elapsed()).arg(lineMs)));
    QCOMPARE(readFile(capture), expected);
    QCOMPARE(sim.command("program"), "program 25");
}

void TestSimE2E::stationSimulate_startsSimulatorAndEndsIt()
{
    QProcess station;
    station.setProgram(kStation);
    station.setArguments({"--simulate"});
    station.setWorkingDirectory(m_dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    station.setProcessEnvironment(env);
    station.setProcessChannelMode(QProcess::ForwardedChannels);
    station.start();
    QVERIFY(station.waitForStarted(5000));

    // The simulator is the station's child, started headless because the station runs
    // offscreen, and attached to the station's end of its input.
    QString simPid;
    QString cmdline;
    QElapsedTimer timer;
    timer.start();
    while (simPid.isEmpty() && timer.elapsed() < 10000) {
        QThread::msleep(50);
        for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
            QFile stat("/proc/" + pid + "/stat");
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromLatin1(stat.readAll());
            const QStringList fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (text.contains("(talvex-sim)") && fields.value(1) == QString::number(station.processId())) {
                simPid = pid;
                QFile cmd("/proc/" + pid + "/cmdline");
                if (cmd.open(QIODevice::ReadOnly))
                    cmdline = QString::fromLocal8Bit(cmd.readAll().replace('\0', ' '));
            }
        }
    }
    QVERIFY2(!simPid.isEmpty(), "talvex-sim was not started");
    QVERIFY2(cmdline.contains("--headless") && cmdline.contains("--attached"), qPrintable(cmdline));

    ::kill(static_cast<pid_t>(station.processId()), SIGKILL); // even a station that dies takes it along
    QVERIFY(station.waitForFinished(5000));
    auto gone = [&] {
        QFile stat("/proc/" + simPid + "/stat");
        return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
    };
    QTRY_VERIFY_WITH_TIMEOUT(gone(), 5000);
}

QTEST_GUILESS_MAIN(TestSimE2E)
#include "tst_sim_e2e.moc"

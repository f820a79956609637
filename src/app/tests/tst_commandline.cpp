// The station's command line: what it asks for, read before any window system starts,
// and the program's answer to help, mistakes and a virtual controller that cannot run.
#include "app/commandline.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace talvex;

namespace {

const QString kStation = QStringLiteral(TALVEX_STATION_EXECUTABLE);
const QString kWorkingDirectory = QStringLiteral("/srv/station");

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void parse_outcomeAndDevices_data();
    void parse_outcomeAndDevices();
    void program_answersWithoutAWindow_data();
    void program_answersWithoutAWindow();

private:
    QTemporaryDir m_dir;
    QString m_station; ///< a copy of the station, so a simulator of any kind can sit beside it
};

void TestCommandLine::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_station = m_dir.filePath(QStringLiteral("talvex-station"));
    QVERIFY(QFile::copy(kStation, m_station));
}

void TestCommandLine::parse_outcomeAndDevices_data()
{
    using Outcome = StationCommandLine::Outcome;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<QString>("mistakeNames"); // what the mistake quotes

    QTest::newRow("relative device path") << QStringList{"--device", "1=relline"} << Outcome::RunStation
                                          << QStringList{"1=/srv/station/relline"} << QString();
    QTest::newRow("relative path with folders") << QStringList{"--device", "2=../lines/tty"} << Outcome::RunStation
                                                << QStringList{"2=/srv/station/../lines/tty"} << QString();
    QTest::newRow("absolute path as it is")
        << QStringList{"--device=3=/dev/ttyUSB0", "--device", "1=a"} << Outcome::RunStation
        << QStringList{"3=/dev/ttyUSB0", "1=/srv/station/a"} << QString();
    QTest::newRow("Qt's own options left to Qt")
        << QStringList{"-platform", "offscreen", "--reverse", "-style=fusion", "--simulate", "--device", "4=a"}
        << Outcome::RunStation << QStringList{"4=/srv/station/a"} << QString();
    QTest::newRow("network address as it is")
        << QStringList{"--device", "2=rfc2217://[::1]:4001"} << Outcome::RunStation
        << QStringList{"2=rfc2217://[::1]:4001"} << QString();
    QTest::newRow("malformed network address")
        << QStringList{"--device", "2=tcp://host"} << Outcome::Mistake << QStringList{} << "2=tcp://host";
    QTest::newRow("help") << QStringList{"--device", "1=x", "--help"} << Outcome::ShowHelp << QStringList{}
                          << QString();
    QTest::newRow("unknown option") << QStringList{"--bogus"} << Outcome::Mistake << QStringList{} << "bogus";
    QTest::newRow("port number out of range")
        << QStringList{"--device", "5=relline"} << Outcome::Mistake << QStringList{} << "5=relline";
    QTest::newRow("device without a path")
        << QStringList{"--device", "1="} << Outcome::Mistake << QStringList{} << "1=";
    QTest::newRow("port given twice") << QStringList{"--device", "1=/dev/a", "--device=01=/dev/b"} << Outcome::Mistake
                                      << QStringList{} << "\"1=/dev/a\" and \"01=/dev/b\" both lead COM1";
    QTest::newRow("a program file to open")
        << QStringList{"lines/demo.tvx", "--simulate"} << Outcome::RunStation << QStringList{} << QString();
    QTest::newRow("a second file is stray")
        << QStringList{"demo.tvx", "relline"} << Outcome::Mistake << QStringList{} << "relline";
}

void TestCommandLine::parse_outcomeAndDevices()
{
    QFETCH(QStringList, arguments);
    QFETCH(StationCommandLine::Outcome, outcome);
    QFETCH(QStringList, devices);
    QFETCH(QString, mistakeNames);
    StationCommandLine commandLine;
    QCOMPARE(commandLine.parse(QStringList{"talvex-station"} + arguments, kWorkingDirectory), outcome);
    if (outcome == StationCommandLine::Outcome::RunStation) {
        QCOMPARE(commandLine.deviceOptions(), devices);
        QCOMPARE(commandLine.simulate(), arguments.contains(QStringLiteral("--simulate")));
        QCOMPARE(commandLine.platformGiven(), arguments.contains(QStringLiteral("-platform")));
        const bool file = !arguments.isEmpty() && arguments.front().endsWith(QStringLiteral(".tvx"));
        QCOMPARE(commandLine.programFile(),
                 file ? kWorkingDirectory + QLatin1Char('/') + arguments.front() : QString());
    }
    QVERIFY2(commandLine.mistake().contains(mistakeNames), qPrintable(commandLine.mistake()));
    QCOMPARE(commandLine.mistake().isEmpty(), mistakeNames.isEmpty());
}

void TestCommandLine::program_answersWithoutAWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("simulator"); // what stands beside the station as talvex-sim
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("stdoutWords");
    QTest::addColumn<QStringList>("stderrWords");

    // Without any display: help and mistakes still answer.
    QTest::newRow("help") << QStringList{"--help"} << "" << 0
                          << QStringList{"--device", "tcp://HOST:PORT", "rfc2217://HOST:PORT", "--simulate"}
                          << QStringList{};
    QTest::newRow("unknown option") << QStringList{"--bogus"} << "" << 2 << QStringList{}
                                    << QStringList{"bogus", "--help"};
    QTest::newRow("bad device option") << QStringList{"--device", "9=x"} << "" << 2 << QStringList{}
                                       << QStringList{"9=x"};
    QTest::newRow("port given twice") << QStringList{"--device", "2=/dev/a", "--device", "2=/dev/a"} << "" << 2
                                      << QStringList{} << QStringList{"once per port", "--help"};
    // On the offscreen platform: the reason on standard error, no box to wait for.
    QTest::newRow("simulator missing") << QStringList{"--simulate"} << "missing" << 1 << QStringList{}
                                       << QStringList{"找不到", "talvex-sim"};
    QTest::newRow("simulator not executable")
        << QStringList{"--simulate"} << "plain file" << 1 << QStringList{} << QStringList{"權限", "talvex-sim"};
    QTest::newRow("simulator is a folder")
        << QStringList{"--simulate"} << "folder" << 1 << QStringList{} << QStringList{"資料夾", "talvex-sim"};
    QTest::newRow("simulator is not a program")
        << QStringList{"--simulate"} << "junk" << 1 << QStringList{} << QStringList{"無法執行", "talvex-sim"};
}

void TestCommandLine::program_answersWithoutAWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, simulator);
    QFETCH(int, status);
    QFETCH(QStringList, stdoutWords);
    QFETCH(QStringList, stderrWords);

    const QString sim = m_dir.filePath(QStringLiteral("talvex-sim"));
    QFile::remove(sim);
    QDir(sim).removeRecursively();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!simulator.isEmpty()) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (simulator == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(sim));
        } else if (simulator != QLatin1String("missing")) {
            QFile file(sim);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(64, '\x7f'));
            file.close();
            const QFileDevice::Permissions readWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
            QVERIFY(file.setPermissions(simulator == QLatin1String("junk") ? readWrite | QFileDevice::ExeOwner
                                                                           : readWrite));
        }
    }

    QProcess station;
    station.setProcessEnvironment(env);
    station.setWorkingDirectory(m_dir.path());
    station.start(m_station, arguments);
    QVERIFY(station.waitForStarted(5000));
    if (!station.waitForFinished(15000)) {
        station.kill();
        station.waitForFinished(5000);
        QFAIL("the station did not end by itself");
    }
    const QString out = QString::fromUtf8(station.readAllStandardOutput());
    const QString err = QString::fromUtf8(station.readAllStandardError());
    QCOMPARE(station.exitStatus(), QProcess::NormalExit);
    QVERIFY2(station.exitCode() == status, qPrintable(QStringLiteral("%1\n%2").arg(station.exitCode()).arg(err)));
    for (const QString &word : stdoutWords)
        QVERIFY2(out.contains(word), qPrintable(out));
    for (const QString &word : stderrWords)
        QVERIFY2(err.contains(word), qPrintable(err));
    QVERIFY2(!err.contains(QStringLiteral("no display")), qPrintable(err));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"

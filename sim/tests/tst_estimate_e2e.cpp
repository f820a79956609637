// End to end: the cycle-time estimate of the station's own motion model against the
// virtual controller running the same program. The two share no motion code, so
// either one misreading the speed, the acceleration, a profile or the flow shows up
// as a difference between the estimate and the time the controller takes.
#include "link/stationlink.h"
#include "motion/programpath.h"
#include "testing/stationside.h"
#include "testing/stepbuilder.h"

#include "simprocess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cmath>

using namespace talvex;
using namespace talvex::testing;
using talvex::sim::testing::SimProcess;

namespace {

/// The machine runs this much faster than real time. The controller stamps its
/// events on its own program clock, so the scale shortens the test without
/// blurring the figure.
const QString kTimeScale = QStringLiteral("40");
constexpr double kTolerance = 0.01;

/// Machine time (ms) from the controller's "start" event to its "end" event, read
/// from the timed events until the program has ended (-1 if it stopped otherwise).
double runTime(SimProcess &sim, QString *events)
{
    double start = -1.0;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 30000) {
        const QString reply = sim.command(QStringLiteral("events timed"));
        const QStringList list = reply.mid(QStringLiteral("events").size()).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString &entry : list) {
            const QString event = entry.trimmed();
            *events += event + QStringLiteral("; ");
            const double at = event.section(QLatin1Char(' '), 0, 0).toDouble();
            const QString what = event.section(QLatin1Char(' '), 1);
            if (what == QLatin1String("start"))
                start = at;
            else if (what == QLatin1String("end"))
                return start < 0.0 ? -1.0 : at - start;
            else if (what == QLatin1String("stop") || what.startsWith(QLatin1String("error")))
                return -1.0;
        }
        QThread::msleep(20);
    }
    return -1.0;
}

} // namespace

class TestEstimateE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void estimate_agreesWithController_data();
    void estimate_agreesWithController();

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
};

void TestEstimateE2E::initTestCase()
{
    QVERIFY(QFile::exists(QStringLiteral(TALVEX_SIM_EXECUTABLE)));
    // The upload writes its listing into the working directory.
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
}

void TestEstimateE2E::cleanupTestCase()
{
    QDir::setCurrent(m_oldCwd);
}

void TestEstimateE2E::estimate_agreesWithController_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("acceleration"); // the program's own, or empty for none

    QTest::newRow("straight moves") << QStringList{"POINT|0|200|0|0", "POINT|0|200|120|0", "POINT|0|80|0|0"}
                                    << QStringLiteral("1500");
    QTest::newRow("bent moves") << QStringList{"POINT|0|250|40|0", "POINT|0|30|170|0", "POINT|0|-60|-20|0"}
                                << QStringLiteral("800");
    QTest::newRow("short moves, never at full speed")
        << QStringList{"POINT|0|2|0|0", "POINT|0|3.5|1|0", "POINT|0|1|-0.5|0", "POINT|0|1.25|0.75|0"}
        << QStringLiteral("2000");
    QTest::newRow("speed changes") << QStringList{"VM|50",          "POINT|0|100|0|0", "VM|250",
                                                  "POINT|0|0|80|0", "VM|20",           "POINT|0|10|85|0"}
                                   << QStringLiteral("2000");
    QTest::newRow("delays, controller's acceleration")
        << QStringList{"POINT|0|10|0|0", "WT|750", "POINT|0|0|0|0", "WT|1250"} << QString();
    QTest::newRow("nested loops") << QStringList{"LOOP|3",          "POINT|0|50|0|0", "LOOP|4", "POINT|0|50|20|0",
                                                 "POINT|0|60|25|0", "LOOPEND",        "WT|100", "LOOPEND"}
                                  << QStringLiteral("2500");
    QTest::newRow("home") << QStringList{"POINT|0|120|-70|0", "HOME", "VM|180", "POINT|0|-40|30|0", "HOME"}
                          << QStringLiteral("1200");
    QTest::newRow("forward jump skips rows")
        << QStringList{"POINT|0|20|0|0", "GLABLE|A", "POINT|0|300|0|0", "LABLE|A", "POINT|0|20|40|0"}
        << QStringLiteral("2000");
}

void TestEstimateE2E::estimate_agreesWithController()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, acceleration);

    // A controller fresh from power-up for each program: the model starts every
    // program at the origin, at the power-up speed.
    SimProcess sim;
    QVERIFY(sim.start({"--store", m_dir.filePath("store.txt"), "--time-scale", kTimeScale}));

    const ProgramTable table = tableOf(rows);
    const int lastRow = static_cast<int>(rows.size());
    MotionOptions motion;
    motion.SetAcceleration = !acceleration.isEmpty();
    motion.AccelerationText = acceleration;
    motion.ReportedAcceleration = sim.command(QStringLiteral("accel")).section(QLatin1Char(' '), 1);
    const ProgramPath path = computeProgramPath(table, lastRow, motion);
    QCOMPARE(path.estimate.outcome, CycleEstimate::Outcome::Ends);

    StationSide station(sim.device);
    CompileOptions compile;
    compile.SetAcceleration = motion.SetAcceleration;
    compile.AccelerationText = acceleration;
    station.op.answerNo();  // store it?
    station.op.answerYes(); // run it now?
    station.upload.run(table, lastRow, compile, QStringLiteral("1"));
    QCOMPARE(station.op.unscripted(), 0);

    QString events;
    const double controllerMs = runTime(sim, &events);
    QVERIFY2(controllerMs > 0.0, qPrintable(events));
    const double estimateMs = path.estimate.seconds * 1000.0;
    const double difference = std::abs(controllerMs - estimateMs) / controllerMs;
    QVERIFY2(difference <= kTolerance, qPrintable(QStringLiteral("controller %1 ms, estimate %2 ms (%3 %); %4")
                                                      .arg(controllerMs)
                                                      .arg(estimateMs)
                                                      .arg(difference * 100.0, 0, 'f', 3)
                                                      .arg(events)));
    qInfo("%s: controller %.3f ms, estimate %.3f ms", QTest::currentDataTag(), controllerMs, estimateMs);
}

QTEST_GUILESS_MAIN(TestEstimateE2E)
#include "tst_estimate_e2e.moc"

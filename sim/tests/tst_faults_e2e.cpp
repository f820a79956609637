// Faults end to end: the real main window with its Qt serial port and real sleeps,
// against talvex-sim --headless that is killed, stays silent, answers junk or floods
// the line. The station must report a dead line once, close it, show it as down at
// the next tick and stay usable; junk must not stop it, and a flood must drain
// without anything on either side growing for good.
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "link/portmap.h"
#include "link/qtserialport.h"
#include "link/sleeper.h"
#include "testing/scriptedoperator.h"

#include "simprocess.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>
#include <time.h>

using namespace talvex;
using namespace talvex::testing;
using talvex::sim::testing::SimProcess;

namespace {

const QString kConnectNotice = QStringLiteral(" 準備連線終止運作中程式");
const QString kLinkError = QStringLiteral(" 連線錯誤 !");

/// Kills a process the first time download progress is shown: the upload is then in
/// its wait for the last byte to leave, the longest stretch a controller can vanish in.
/// Like the real progress dialog, each update lets the event loop run.
class KillingOperator : public ScriptedOperator
{
public:
    qint64 victim = 0;
    qint64 killedAt = -1;
    const Sleeper *clock = nullptr;

    void showProgress(const QString &text, const QString &title, qint64 done, qint64 total) override
    {
        ScriptedOperator::showProgress(text, title, done, total);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (victim <= 0)
            return;
        ::kill(static_cast<pid_t>(victim), SIGKILL);
        victim = 0;
        killedAt = clock->now();
    }
};

/// The station as talvex-station builds it, on the simulator's line.
struct Station
{
    explicit Station(const QString &device)
    {
        ports.setAll(device);
        op.clock = &sleeper;
        window.show();
    }

    const MainWindowUi &ui() const { return window.ui(); }
    QList<int> checkedInputs() const
    {
        QList<int> on;
        for (int k = 1; k <= 16; ++k) {
            if (ui().inputBoxes[static_cast<size_t>(k) - 1]->isChecked())
                on << k;
        }
        return on;
    }
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    /// "連線" answered, and one poll tick done.
    bool connectAndPoll()
    {
        click(ui().connectButton);
        return QTest::qWaitFor([&] { return ui().internalAcceleration->text() == QLatin1String("2000\r"); }, 5000);
    }
    /// A program of @p rows points with coordinates of @p digits characters.
    void loadProgram(int rows, int digits)
    {
        const QString x = QStringLiteral("1234.") + QString(std::max(1, digits - 5), QLatin1Char('5'));
        ProgramTable table = window.document().table();
        for (int r = 1; r <= rows; ++r)
            table.setRow(r, {QStringLiteral("POINT"), QStringLiteral("0"), x, x, QStringLiteral("255")});
        window.document().replaceProgram(table, rows, {});
    }

    PortMap ports;
    QtSerialPort port{ports};
    ThreadSleeper sleeper;
    KillingOperator op;
    MainWindow window{op, port, sleeper};
};

enum class KilledDuring
{
    Download,
    Idle,
    SaveDialog
};

/// CPU time this process has used, all threads, in ms.
qint64 cpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

qint64 outgoing(SimProcess &sim)
{
    const QString reply = sim.command(QStringLiteral("outgoing"));
    return reply.startsWith(QLatin1String("outgoing ")) ? reply.mid(9).toLongLong() : -1;
}

} // namespace

class TestFaultsE2e : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void simulatorKilled_reportedOnceAndStationRecovers_data();
    void simulatorKilled_reportedOnceAndStationRecovers();
    void badController_stationKeepsWorking_data();
    void badController_stationKeepsWorking();
    void flood_drainsAndPollsDecodeAgain_data();
    void flood_drainsAndPollsDecodeAgain();

private:
    QStringList storeOption() const { return {"--store", m_dir.filePath("store.txt")}; }

    QTemporaryDir m_dir;
    QString m_oldCwd;
};

void TestFaultsE2e::initTestCase()
{
    QVERIFY(QFile::exists(QStringLiteral(TALVEX_SIM_EXECUTABLE)));
    // The upload writes its listing, and the window reads DATA.TXT, in the working
    // directory: none here, so the port is COM1.
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
}

void TestFaultsE2e::cleanupTestCase()
{
    QDir::setCurrent(m_oldCwd);
}

void TestFaultsE2e::simulatorKilled_reportedOnceAndStationRecovers_data()
{
    QTest::addColumn<int>("when");
    QTest::newRow("while the download drains at 9600 baud") << int(KilledDuring::Download);
    QTest::newRow("connected, between two ticks") << int(KilledDuring::Idle);
    QTest::newRow("while the save dialog holds the poll") << int(KilledDuring::SaveDialog);
}

void TestFaultsE2e::simulatorKilled_reportedOnceAndStationRecovers()
{
    QFETCH(int, when);
    SimProcess sim;
    QVERIFY(sim.start(storeOption() + QStringList{"--baud", "9600"}));
    Station station(sim.device);
    auto killSim = [&] {
        sim.process().kill();
        QVERIFY(sim.process().waitForFinished(5000));
    };

    switch (KilledDuring(when)) {
    case KilledDuring::Download:
        // Some 50 kB: more than a pseudo-terminal buffers (about 20 kB), so the rest
        // waits in the station while the simulator reads at 960 bytes a second.
        station.loadProgram(240, 100);
        station.op.victim = sim.process().processId();
        station.click(station.ui().uploadButton);
        QVERIFY2(station.op.killedAt >= 0, "no progress shown: the download never waited");
        // Noticed by the failing line, not by waiting out the stall limit.
        QVERIFY2(station.sleeper.now() - station.op.killedAt < Line::kStallMs,
                 qPrintable(QString::number(station.sleeper.now() - station.op.killedAt)));
        QVERIFY(!station.op.progressOpen);
        break;
    case KilledDuring::Idle:
        QVERIFY(station.connectAndPoll());
        killSim();
        break;
    case KilledDuring::SaveDialog: {
        QVERIFY(station.connectAndPoll());
        // A modal dialog runs the event loop with the poll stopped, for as long as the
        // operator takes. The dead line must not keep the station busy meanwhile.
        qint64 busyMs = -1;
        station.op.onShow = [&](const ScriptedOperator::Shown &shown) {
            if (shown.kind != ScriptedOperator::Kind::SaveFile)
                return;
            killSim();
            const qint64 before = cpuMs();
            QTest::qWait(1000);
            busyMs = cpuMs() - before;
        };
        station.op.answerCancel();
        station.ui().saveAsAction->trigger();
        QVERIFY2(busyMs >= 0 && busyMs < 300, qPrintable(QStringLiteral("%1 ms busy in 1000").arg(busyMs)));
        break;
    }
    }
    QTRY_VERIFY_WITH_TIMEOUT(!station.port.isOpen(), 5000);
    QCOMPARE(station.op.notices(), (QStringList{kConnectNotice, kLinkError}));
    QVERIFY(!station.port.isOpen());
    QTRY_COMPARE_WITH_TIMEOUT(station.ui().statusLink->text(), QStringLiteral("未連線"), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!station.window.statusTimer().isActive(), 3000);
    QVERIFY(!station.ui().locateButton->isEnabled());
    QTest::qWait(1200); // a few ticks' worth: nothing more is shown
    QCOMPARE(station.op.notices().size(), 2);
    QCOMPARE(station.op.unscripted(), 0);

    // Editing goes on.
    const int rows = station.window.document().lastRow();
    station.click(station.ui().startEditingButton);
    station.click(station.ui().homeButton);
    QCOMPARE(station.window.document().lastRow(), rows + 1);
    QCOMPARE(station.window.document().table().cell(rows + 1, 0), QStringLiteral("HOME"));

    // And a controller that comes back is connected as usual.
    SimProcess fresh;
    QVERIFY(fresh.start(storeOption()));
    station.ports.setAll(fresh.device);
    QCOMPARE(fresh.command("inputs 5"), "ok");
    QVERIFY(station.connectAndPoll());
    QCOMPARE(station.ui().statusLink->text(), QStringLiteral("連線中"));
    QTRY_COMPARE(station.checkedInputs(), (QList<int>{1, 3}));
    QCOMPARE(station.op.notices(), (QStringList{kConnectNotice, kLinkError, kConnectNotice}));
    station.op.answerNo(); // the step placed above is not saved: quit without it
    station.ui().exitAction->trigger();
    QVERIFY(!station.port.isOpen());
    QCOMPARE(fresh.waitFor("unknown", [](const QString &r) { return r == "unknown 0"; }), "unknown 0");
}

void TestFaultsE2e::badController_stationKeepsWorking_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("connectShows");
    QTest::newRow("silent") << "--silent" << QStringList{kConnectNotice, "通訊有誤!"};
    QTest::newRow("garbage") << "--garbage" << QStringList{kConnectNotice};
}

void TestFaultsE2e::badController_stationKeepsWorking()
{
    QFETCH(QString, option);
    QFETCH(QStringList, connectShows);
    SimProcess sim;
    QVERIFY(sim.start(storeOption() + QStringList{option}));
    QCOMPARE(sim.command("inputs 5"), "ok");
    Station station(sim.device);
    // Lit boxes show whether a poll decoded the answer: junk has no leading number, so
    // every box goes off.
    for (QCheckBox *box : station.ui().inputBoxes)
        box->setChecked(true);
    station.click(station.ui().connectButton);
    QCOMPARE(station.op.notices(), connectShows);

    if (option == QLatin1String("--silent")) {
        QVERIFY(!station.port.isOpen());
        QTRY_VERIFY(!station.window.statusTimer().isActive());
        QCOMPARE(station.ui().statusLink->text(), QStringLiteral("未連線"));
        station.loadProgram(3, 8);
        station.click(station.ui().uploadButton); // tries again, and is told again, once
        QCOMPARE(station.op.notices(), connectShows + connectShows);
        QVERIFY(!station.port.isOpen());
        QCOMPARE(station.checkedInputs().size(), 16);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(station.ui().internalAcceleration->text(), QStringLiteral("#?!ERR~\r"), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(station.checkedInputs().isEmpty(), 3000);
        QTest::mouseClick(station.ui().outputBoxes[1], Qt::LeftButton);
        // The station's ticks need the event loop: the simulator is asked between them.
        QTRY_COMPARE_WITH_TIMEOUT(sim.command("outputs"), QStringLiteral("outputs 2"), 3000);
        QCOMPARE(station.ui().statusLink->text(), QStringLiteral("連線中"));
        QVERIFY(station.port.isOpen());
        QCOMPARE(station.op.notices(), connectShows);
    }
    // Whatever the controller did, the line carried what the station sent and nothing
    // it could not read.
    QCOMPARE(sim.command("unknown"), "unknown 0");
}

void TestFaultsE2e::flood_drainsAndPollsDecodeAgain_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("duringDialog");
    QTest::newRow("a megabyte at once") << 1024 * 1024 << false;
    QTest::newRow("2 MiB while the save dialog holds the poll") << 2 * 1024 * 1024 << true;
}

void TestFaultsE2e::flood_drainsAndPollsDecodeAgain()
{
    QFETCH(int, bytes);
    QFETCH(bool, duringDialog);
    SimProcess sim;
    QVERIFY(sim.start(storeOption()));
    QCOMPARE(sim.command("inputs 5"), "ok");
    Station station(sim.device);
    QVERIFY(station.connectAndPoll());
    QTRY_COMPARE(station.checkedInputs(), (QList<int>{1, 3}));

    qsizetype longestReadout = 0;
    QObject::connect(station.ui().internalAcceleration, &QLineEdit::textChanged,
                     [&](const QString &text) { longestReadout = std::max(longestReadout, text.size()); });
    const QString blast = QStringLiteral("blast %1").arg(bytes);
    if (duringDialog) {
        // Nothing reads the line while the dialog is up; what the station holds of the
        // flood meanwhile must stay bounded.
        qsizetype held = -1;
        station.op.onShow = [&](const ScriptedOperator::Shown &shown) {
            if (shown.kind != ScriptedOperator::Kind::SaveFile)
                return;
            QCOMPARE(sim.command(blast), "ok");
            QTest::qWait(1000);
            held = station.port.readAll().size();
        };
        station.op.answerCancel();
        station.ui().saveAsAction->trigger();
        QVERIFY2(held > 0 && held <= QtSerialPort::kReadBufferBytes + 64 * 1024, qPrintable(QString::number(held)));
    } else {
        QCOMPARE(sim.command(blast), "ok");
        // The station has not run since: most of the flood still waits in the simulator.
        const qint64 waiting = outgoing(sim);
        QVERIFY2(waiting > bytes / 2, qPrintable(QString::number(waiting)));
    }
    // The polls drain it, and once it is gone they decode as before.
    QTRY_VERIFY_WITH_TIMEOUT(outgoing(sim) == 0, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(station.ui().internalAcceleration->text(), QStringLiteral("2000\r"), 5000);
    QCOMPARE(sim.command("inputs 6"), "ok");
    QTRY_COMPARE_WITH_TIMEOUT(station.checkedInputs(), (QList<int>{2, 3}), 5000);
    QCOMPARE(outgoing(sim), 0);
    QCOMPARE(station.ui().internalAcceleration->text(), QStringLiteral("2000\r"));
    QVERIFY2(longestReadout < bytes / 8, qPrintable(QString::number(longestReadout)));
    // Between ticks nothing is left unread in the station either.
    QVERIFY(station.port.readAll().size() < 16);
    QVERIFY(station.port.isOpen());
    QCOMPARE(station.op.notices(), QStringList{kConnectNotice});
}

QTEST_MAIN(TestFaultsE2e)
#include "tst_faults_e2e.moc"

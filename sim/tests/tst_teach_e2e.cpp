// Teach input for real: the station opens its teach dialog in teach input (HOFF),
// the simulator's axes are moved by hand through its control channel, and the
// confirmed point carries the position the dialog read back over the line. The I/O
// polls and the teaching go over the network as over the pseudo-terminal, byte for
// byte.
#include "core/textnumber.h"
#include "document/programdocument.h"
#include "table/editstate.h"
#include "teach/teachdialog.h"
#include "teach/teachdialogui.h"
#include "testing/recordingsteplist.h"
#include "testing/stationside.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ser2netprocess.h"
#include "simprocess.h"

using namespace talvex;
using namespace talvex::testing;
using talvex::sim::testing::Ser2netProcess;
using talvex::sim::testing::SimProcess;

namespace {

/// What the station sends as it connects, polls the inputs, switches an output, teaches
/// one point and leaves, whatever the line.
const QByteArray kPollAndTeach = "?VM\r\x1b\x1b"
                                 "EC 0\r?INP\r?VA\r?INP\r?VA\rSET P5\rHOFF\r?PEX\r?PEY\rHON\rEC 1\r";

} // namespace

class TestTeachE2e : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void teachInput_jogThenConfirm_storesSimulatorPosition();
    void ioPollsAndTeaching_sameBytesOverEveryLine_data();
    void ioPollsAndTeaching_sameBytesOverEveryLine();

private:
    QTemporaryDir m_dir;
};

void TestTeachE2e::teachInput_jogThenConfirm_storesSimulatorPosition()
{
    SimProcess sim;
    QVERIFY(sim.start({}));
    StationSide station(sim.device);
    station.link.connectController(QStringLiteral("1"));
    QVERIFY(station.port.isOpen());

    ProgramDocument document;
    PendingEdit edit;
    edit.AppendMode = true;
    StationValues values;
    values.PointKindFlag = QStringLiteral("1");
    values.NumericInput = false;
    RecordingStepList list;
    TeachDialog dialog({station.link.session(), station.link.polls(), document, edit, values, list, station.op, [] {}});
    dialog.show();
    dialog.start();

    QCOMPARE(sim.waitFor(QStringLiteral("mode"), [](const QString &r) { return r == QLatin1String("mode HOFF"); }),
             QStringLiteral("mode HOFF"));
    QCOMPARE(sim.command(QStringLiteral("jog x 37.5")), QStringLiteral("ok"));
    QCOMPARE(sim.command(QStringLiteral("jog y 12")), QStringLiteral("ok"));
    // The targets follow the readouts at the next poll ticks.
    QTRY_VERIFY_WITH_TIMEOUT(
        leadingNumber(dialog.ui().xTarget->text()) == 37.5 && leadingNumber(dialog.ui().yTarget->text()) == 12.0, 5000);
    QTest::mouseClick(dialog.ui().confirmButton, Qt::LeftButton);

    const ProgramTable &table = document.table();
    QCOMPARE(document.lastRow(), 1);
    QCOMPARE(table.cell(1, 0), QStringLiteral("POINT"));
    QCOMPARE(leadingNumber(table.cell(1, 2)), 37.5);
    QCOMPARE(leadingNumber(table.cell(1, 3)), 12.0);
    QCOMPARE(sim.waitFor(QStringLiteral("mode"), [](const QString &r) { return r == QLatin1String("mode HON"); }),
             QStringLiteral("mode HON"));
    QVERIFY(station.op.notices().size() == 1); // only the connect announcement
    station.link.exit();
}

void TestTeachE2e::ioPollsAndTeaching_sameBytesOverEveryLine_data()
{
    QTest::addColumn<QString>("line"); // "pty", "listen", or a ser2net accepter
    QTest::newRow("pseudo-terminal") << "pty";
    QTest::newRow("tcp:// to --listen") << "listen";
    QTest::newRow("tcp:// to ser2net") << "tcp";
    QTest::newRow("rfc2217:// to ser2net") << "telnet(rfc2217),tcp";
}

void TestTeachE2e::ioPollsAndTeaching_sameBytesOverEveryLine()
{
    QFETCH(QString, line);
    const bool throughSer2net = line.contains(QLatin1String("tcp"));
    if (throughSer2net && Ser2netProcess::executable().isEmpty())
        QSKIP("ser2net is not installed (scripts/setup installs it)");
    SimProcess sim;
    const QString capture = m_dir.filePath(QStringLiteral("%1.bin").arg(line.left(3)));
    QStringList options{"--capture", capture, "--store", m_dir.filePath(QStringLiteral("store.txt"))};
    if (line == QLatin1String("listen"))
        options << QStringLiteral("--listen") << QStringLiteral("0");
    QVERIFY(sim.start(options));
    QString address = line == QLatin1String("listen") ? sim.listening : sim.device;
    Ser2netProcess server;
    if (throughSer2net) {
        QVERIFY(server.start(line, sim.device, m_dir.path()));
        address = server.address();
    }
    StationSide station(address);
    station.link.connectController(QStringLiteral("1"));
    QCOMPARE(station.view.status, QStringLiteral("連線中"));

    // The status timer's work, tick by tick: the inputs read, then an output switched.
    QCOMPARE(sim.command(QStringLiteral("inputs 5")), QStringLiteral("ok"));
    station.link.tick();
    QCOMPARE(station.view.checkedInputs(), (QList<int>{1, 3}));
    station.view.checkOutput(5, true);
    station.link.tick();
    QCOMPARE(sim.waitFor(QStringLiteral("outputs"), [](const QString &r) { return r == QLatin1String("outputs 16"); }),
             QStringLiteral("outputs 16"));

    // Teach input, the dialog's poll run one tick at a time.
    ProgramDocument document;
    PendingEdit edit;
    edit.AppendMode = true;
    StationValues values;
    values.PointKindFlag = QStringLiteral("1");
    values.NumericInput = false;
    RecordingStepList list;
    TeachDialog dialog({station.link.session(), station.link.polls(), document, edit, values, list, station.op, [] {}});
    dialog.show();
    dialog.start();
    QTimer &poll = dialog.pollTimer();
    poll.stop();
    QCOMPARE(sim.waitFor(QStringLiteral("mode"), [](const QString &r) { return r == QLatin1String("mode HOFF"); }),
             QStringLiteral("mode HOFF"));
    QCOMPARE(sim.command(QStringLiteral("jog x 37.5")), QStringLiteral("ok"));
    QCOMPARE(sim.command(QStringLiteral("jog y 12")), QStringLiteral("ok"));
    poll.setSingleShot(true);
    poll.start(0);
    QTRY_VERIFY(!poll.isActive());
    QTest::mouseClick(dialog.ui().confirmButton, Qt::LeftButton);
    QCOMPARE(leadingNumber(document.table().cell(1, 2)), 37.5);
    QCOMPARE(leadingNumber(document.table().cell(1, 3)), 12.0);

    station.link.exit();
    QCOMPARE(station.op.notices().size(), 1); // only the connect announcement
    const QString all = QStringLiteral("received %1 ").arg(kPollAndTeach.size());
    QCOMPARE(
        sim.waitFor(QStringLiteral("received"), [&](const QString &r) { return r.startsWith(all); }).left(all.size()),
        all);
    QFile file(capture);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), kPollAndTeach);
}

QTEST_MAIN(TestTeachE2e)
#include "tst_teach_e2e.moc"

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

#include "everyline.h"

using namespace talvex;
using namespace talvex::testing;
using talvex::sim::testing::addEveryLineRows;
using talvex::sim::testing::SimProcess;
using talvex::sim::testing::SimulatorOnLine;

namespace {

/// What the station sends as it connects, polls the inputs, switches an output, teaches
/// one point and leaves, whatever the line.
const QByteArray kPollAndTeach = "?VM\r\x1b\x1b"
                                 "EC 0\r?INP\r?VA\r?INP\r?VA\rSET P5\rHOFF\r?PEX\r?PEY\rHON\rEC 1\r";

PendingEdit appending()
{
    PendingEdit edit;
    edit.AppendMode = true;
    return edit;
}

StationValues teachingAPoint()
{
    StationValues values;
    values.PointKindFlag = QStringLiteral("1");
    values.NumericInput = false;
    return values;
}

/// The teach dialog shown and started in teach input, appending a point to an empty
/// program, on the station's line.
struct TeachInput
{
    explicit TeachInput(StationSide &station)
        : dialog({station.link.session(), station.link.polls(), document, edit, values, list, station.op, [] {}})
    {
        dialog.show();
        dialog.start();
    }

    ProgramDocument document;
    PendingEdit edit = appending();
    StationValues values = teachingAPoint();
    RecordingStepList list;
    TeachDialog dialog;
};

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

    TeachInput teach(station);
    ProgramDocument &document = teach.document;
    TeachDialog &dialog = teach.dialog;

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
    addEveryLineRows();
}

void TestTeachE2e::ioPollsAndTeaching_sameBytesOverEveryLine()
{
    QFETCH(QString, line);
    SimulatorOnLine far(line);
    if (far.lacksSer2net())
        QSKIP("ser2net is not installed (scripts/setup installs it)");
    const QString capture = m_dir.filePath(QStringLiteral("%1.bin").arg(line.left(3)));
    QVERIFY(far.start({"--capture", capture, "--store", m_dir.filePath(QStringLiteral("store.txt"))}, m_dir.path()));
    SimProcess &sim = far.sim;
    StationSide station(far.address());
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
    TeachInput teach(station);
    ProgramDocument &document = teach.document;
    TeachDialog &dialog = teach.dialog;
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

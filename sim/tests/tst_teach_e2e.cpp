// Teach input for real: the station opens its teach dialog in teach input (HOFF),
// the simulator's axes are moved by hand through its control channel, and the
// confirmed point carries the position the dialog read back over the line.
#include "core/textnumber.h"
#include "document/programdocument.h"
#include "table/editstate.h"
#include "teach/teachdialog.h"
#include "teach/teachdialogui.h"
#include "testing/recordingsteplist.h"
#include "testing/stationside.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "simprocess.h"

using namespace talvex;
using namespace talvex::testing;
using talvex::sim::testing::SimProcess;

class TestTeachE2e : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void teachInput_jogThenConfirm_storesSimulatorPosition();
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

QTEST_MAIN(TestTeachE2e)
#include "tst_teach_e2e.moc"

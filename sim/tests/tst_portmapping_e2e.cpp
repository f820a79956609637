// The port mapping end to end: a pseudo-terminal path typed into "通訊埠對應" for COM2
// is what the next "連線" on COM2 opens, reaching the virtual controller; the choice
// is there again after a restart, and --device still overrides it for one run.
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/portmapdialog.h"
#include "editor/seriallineactions.h"
#include "editor/trafficlogmodel.h"
#include "editor/trafficlogwindow.h"
#include "link/portchoices.h"
#include "link/portmap.h"
#include "link/qtserialport.h"
#include "link/sleeper.h"
#include "testing/fixeddevicecatalog.h"
#include "testing/scriptedoperator.h"

#include "simprocess.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace talvex;
using namespace talvex::testing;
using talvex::sim::testing::SimProcess;

namespace {

/// The station as talvex-station builds it, with its per-user settings in @p settingsFile.
struct Station
{
    explicit Station(const QString &settingsFile, const QStringList &deviceOptions = {})
        : settings(settingsFile, QSettings::IniFormat)
    {
        loadPortChoices(ports, settings);
        for (const QString &option : deviceOptions)
            ports.applyOption(option, nullptr);
        window = std::make_unique<MainWindow>(op, port, sleeper);
        actions = std::make_unique<SerialLineActions>(*window, ports, catalog, settings);
        window->show();
    }
    ~Station()
    {
        actions.reset();
        window.reset();
    }

    const MainWindowUi &ui() const { return window->ui(); }
    bool connect()
    {
        QTest::mouseClick(ui().connectButton, Qt::LeftButton);
        return ui().statusLink->text() == QStringLiteral("連線中");
    }

    QSettings settings;
    PortMap ports;
    QtSerialPort port{ports};
    ThreadSleeper sleeper;
    ScriptedOperator op;
    FixedDeviceCatalog catalog;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<SerialLineActions> actions;
};

} // namespace

class TestPortMappingE2e : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedPath_usedByNextConnectKeptAcrossRestartOverriddenByDevice();
};

void TestPortMappingE2e::typedPath_usedByNextConnectKeptAcrossRestartOverriddenByDevice()
{
    QTemporaryDir dir;
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(dir.path()); // DATA.TXT goes here
    const QString settingsFile = dir.filePath(QStringLiteral("station.conf"));
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--store"), dir.filePath(QStringLiteral("store.txt"))}));

    {
        Station station(settingsFile);
        station.ui().portMappingAction->trigger();
        PortMapDialog *dialog = station.actions->portMapDialog();
        QVERIFY(dialog);
        QTest::keyClicks(dialog->deviceBox(2)->lineEdit(), sim.device);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        station.ui().comActions[1]->trigger();
        QCOMPARE(station.ui().statusPort->text(), QStringLiteral("COM2"));
        QCOMPARE(station.ui().statusPort->toolTip(), QStringLiteral("裝置 ") + sim.device);

        station.ui().trafficLogAction->trigger();
        QVERIFY(station.connect());
        QCOMPARE(station.op.notices(), QStringList{" 準備連線終止運作中程式"});
        const TrafficLogModel &log = station.actions->trafficLog()->model();
        QTRY_VERIFY(log.rowCount() >= 3);
        QCOMPARE(log.entryLine(0).mid(13), QStringLiteral("→ ?VM<CR>"));
        QVERIFY2(log.entryLine(1).mid(13).startsWith(QStringLiteral("← ")), qPrintable(log.entryLine(1)));
        QCOMPARE(log.entryLine(2).mid(13), QStringLiteral("→ <ESC><ESC>EC 0<CR>"));
        station.window->stationLink().exit();
    }
    {
        // Restarted: COM2 (from DATA.TXT) still leads to the typed device.
        Station station(settingsFile);
        QCOMPARE(station.ports.device(2), sim.device);
        station.ui().portMappingAction->trigger();
        QCOMPARE(station.actions->portMapDialog()->deviceBox(2)->currentText(), sim.device);
        QTest::mouseClick(station.actions->portMapDialog()->cancelButton(), Qt::LeftButton);
        QVERIFY(station.connect());
        station.window->stationLink().exit();
    }
    {
        // --device wins for its run and leaves the choice as it was.
        const QString elsewhere = dir.filePath(QStringLiteral("no-controller-here"));
        Station station(settingsFile, {QStringLiteral("2=") + elsewhere});
        QVERIFY(!station.connect());
        QVERIFY2(station.op.notices().last().contains(elsewhere), qPrintable(station.op.notices().last()));
        QCOMPARE(station.ports.chosenDevice(2), sim.device);
    }
    QDir::setCurrent(oldCwd);
}

QTEST_MAIN(TestPortMappingE2e)
#include "tst_portmapping_e2e.moc"

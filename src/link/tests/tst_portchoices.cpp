// The operator's choice of device per COM port: kept per user in QSettings, overridden
// for one run by the command line, and a chosen device that is missing at connect named
// in the notice with the way out.
#include "link/localserialport.h"
#include "link/portchoices.h"
#include "link/portmap.h"
#include "link/stationlink.h"
#include "testing/fakelinkview.h"
#include "testing/memoryserialport.h"
#include "testing/scriptedoperator.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace talvex;
using namespace talvex::testing;

class TestPortChoices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choices_keptPerUserAndOverriddenForTheRun_data();
    void choices_keptPerUserAndOverriddenForTheRun();
    void missingChosenDevice_noticeNamesPortDeviceAndRemedy();
};

void TestPortChoices::choices_keptPerUserAndOverriddenForTheRun_data()
{
    QTest::addColumn<QStringList>("chosen");  // COM1..COM4; empty: the default
    QTest::addColumn<QStringList>("options"); // --device for this run
    QTest::addColumn<QStringList>("devices"); // what COM1..COM4 open in this run
    QTest::addColumn<QStringList>("kept");    // what they open at the next start

    // The platform's own: /dev/ttyS0../dev/ttyS3 on Linux, COM1..COM4 on Windows.
    const QString com1 = PortMap::defaultDevice(1);
    const QString com2 = PortMap::defaultDevice(2);
    const QString com3 = PortMap::defaultDevice(3);
    const QString com4 = PortMap::defaultDevice(4);
    const QStringList defaults{com1, com2, com3, com4};
    const QString adapter = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5069RR4-if00-port0");
    QTest::newRow("nothing chosen") << QStringList{"", "", "", ""} << QStringList() << defaults << defaults;
    QTest::newRow("COM2 chosen") << QStringList{"", adapter, "", ""} << QStringList()
                                 << QStringList{com1, adapter, com3, com4} << QStringList{com1, adapter, com3, com4};
    QTest::newRow("--device wins for the run only")
        << QStringList{"", adapter, "", "/dev/ttyACM0"} << QStringList{"2=/dev/ttyUSB3"}
        << QStringList{com1, "/dev/ttyUSB3", com3, "/dev/ttyACM0"} << QStringList{com1, adapter, com3, "/dev/ttyACM0"};
    QTest::newRow("--device on a port left at its default")
        << QStringList{"", "", "", ""} << QStringList{"3=/dev/pts/7"} << QStringList{com1, com2, "/dev/pts/7", com4}
        << defaults;
    const QString withNul = QStringLiteral("/dev/ttyUSB0") + QChar(0) + "junk"; // would open /dev/ttyUSB0
    QTest::newRow("kept path with a NUL refused")
        << QStringList{"", withNul, "", ""} << QStringList() << QStringList{com1, withNul, com3, com4} << defaults;
}

void TestPortChoices::choices_keptPerUserAndOverriddenForTheRun()
{
    QFETCH(QStringList, chosen);
    QFETCH(QStringList, options);
    QFETCH(QStringList, devices);
    QFETCH(QStringList, kept);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("station.conf"));
    {
        // A choice made earlier and taken back now must not linger in the settings.
        QSettings settings(file, QSettings::IniFormat);
        PortMap everyPortChosen;
        for (int n = 1; n <= PortMap::kPorts; ++n)
            everyPortChosen.setChosenDevice(n, QStringLiteral("/dev/earlier%1").arg(n));
        QVERIFY(savePortChoices(everyPortChosen, settings));
    }
    {
        QSettings settings(file, QSettings::IniFormat);
        PortMap map;
        for (const QString &option : options) {
            QString error;
            QVERIFY(map.applyOption(option, &error));
        }
        for (int n = 1; n <= PortMap::kPorts; ++n)
            map.setChosenDevice(n, chosen.at(n - 1));
        QVERIFY(savePortChoices(map, settings));
        for (int n = 1; n <= PortMap::kPorts; ++n)
            QCOMPARE(map.device(n), devices.at(n - 1));
    }
    QSettings settings(file, QSettings::IniFormat);
    PortMap next;
    QStringList refused;
    loadPortChoices(next, settings, &refused);
    QCOMPARE(refused, chosen.at(1).contains(QChar(0)) ? QStringList{refusedChoiceNotice(2)} : QStringList());
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        QCOMPARE(next.device(n), kept.at(n - 1));
        QCOMPARE(next.runDevice(n), QString());
    }
}

void TestPortChoices::missingChosenDevice_noticeNamesPortDeviceAndRemedy()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("usb-Prolific_2303-if00-port0"));
    PortMap map;
    map.setChosenDevice(3, missing);
    const std::unique_ptr<SerialPort> port = makeLocalSerialPort(map);
    VirtualSleeper clock;
    ScriptedOperator op;
    FakeLinkView view;
    StationLink station(*port, clock, op, view);

    station.connectController(QStringLiteral("3"));
    QCOMPARE(op.notices().size(), 2); // the connect notice, then why it failed
    const QString notice = op.notices().at(1);
    for (const QString &part :
         {QStringLiteral("COM3"), missing, QStringLiteral("連接線"), QStringLiteral("「設定」→「通訊埠對應...」")})
        QVERIFY2(notice.contains(part), qPrintable(notice));
    QVERIFY(!port->isOpen());
    QCOMPARE(view.status, QStringLiteral("未連線"));
}

QTEST_GUILESS_MAIN(TestPortChoices)
#include "tst_portchoices.moc"

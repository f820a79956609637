// Why a COM port could not be opened, as the operator is told it.
#include "link/portmap.h"
#include "link/win32serialport.h"

#include <QTest>

using namespace talvex;

class TestWin32SerialPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openFailure_missingPortIsNamed_data();
    void openFailure_missingPortIsNamed();
};

void TestWin32SerialPort::openFailure_missingPortIsNamed_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("remedy"); // given on the command line unless "通訊埠對應" is advised
    QTest::newRow("port name given for this run") << "COM250"
                                                  << "檢查啟動時的命令列";
    QTest::newRow("port name chosen in the station") << "COM251"
                                                     << "或在「設定」→「通訊埠對應...」";
    QTest::newRow("name in the device namespace") << "\\\\.\\COM252"
                                                  << "檢查啟動時的命令列";
}

void TestWin32SerialPort::openFailure_missingPortIsNamed()
{
    QFETCH(QString, device);
    QFETCH(QString, remedy);
    PortMap ports;
    if (remedy.contains(QStringLiteral("通訊埠對應")))
        ports.setChosenDevice(2, device);
    else
        ports.setDevice(2, device);
    Win32SerialPort port(ports);
    port.setPortNumber(2);
    QVERIFY(!port.open());
    QVERIFY(!port.isOpen());
    const QString failure = port.openFailure();
    QVERIFY2(failure.contains(QStringLiteral("不存在")) && failure.contains(device), qPrintable(failure));
    QVERIFY2(failure.contains(remedy), qPrintable(failure));
    // A port that never opened takes nothing and gives nothing.
    QVERIFY(!port.write("?VM\r"));
    QVERIFY(port.readAll().isEmpty());
    QCOMPARE(port.pendingOutput(), 0);
}

QTEST_GUILESS_MAIN(TestWin32SerialPort)
#include "tst_win32serialport.moc"

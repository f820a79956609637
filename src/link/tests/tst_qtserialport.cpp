// Why a device could not be opened, as the operator is told it, and the stable names
// of the devices under /dev/serial/by-id.
#include "link/portmap.h"
#include "link/qtserialdevicecatalog.h"
#include "link/qtserialport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace talvex;

class TestQtSerialPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openFailure_namesTheCause_data();
    void openFailure_namesTheCause();
    void stableNames_byTheDeviceTheyLeadTo();
};

void TestQtSerialPort::openFailure_namesTheCause_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("remedy"); // given on the command line unless "通訊埠對應" is advised
    QTest::newRow("missing device") << "/nonexistent/ttyTALVEX"
                                    << "不存在"
                                    << "檢查啟動時的命令列";
    QTest::newRow("missing device chosen in the station") << "/nonexistent/ttyTALVEX"
                                                          << "不存在"
                                                          << "或在「設定」→「通訊埠對應...」";
    QTest::newRow("path longer than the system takes") << "/tmp/" + QString(5000, QLatin1Char('a')) << "名稱太長"
                                                       << "";
    QTest::newRow("one name in the path too long") << "/tmp/" + QString(300, QLatin1Char('b')) << "名稱太長"
                                                   << "";
}

void TestQtSerialPort::openFailure_namesTheCause()
{
    QFETCH(QString, device);
    QFETCH(QString, cause);
    QFETCH(QString, remedy);
    PortMap ports;
    if (remedy.contains(QStringLiteral("通訊埠對應")))
        ports.setChosenDevice(1, device);
    else
        ports.setDevice(1, device);
    QtSerialPort port(ports);
    port.setPortNumber(1);
    QVERIFY(!port.open());
    const QString failure = port.openFailure();
    QVERIFY2(failure.contains(cause) && failure.contains(device), qPrintable(failure.left(200)));
    QVERIFY2(!failure.contains(QStringLiteral("權限")), qPrintable(failure.left(200)));
    QVERIFY2(failure.contains(remedy), qPrintable(failure.left(200)));
}

void TestQtSerialPort::stableNames_byTheDeviceTheyLeadTo()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("dev/serial/by-id")));
    const QString folder = dir.filePath(QStringLiteral("dev/serial/by-id"));
    for (const char *device : {"ttyUSB0", "ttyACM0"}) {
        QFile f(dir.filePath(QStringLiteral("dev/") + QLatin1String(device)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    // udev's links are relative, as here; a link to a device that went away leads nowhere.
    QVERIFY(QFile::link(QStringLiteral("../../ttyUSB0"), folder + QStringLiteral("/usb-FTDI_FT232R_A50-if00-port0")));
    QVERIFY(QFile::link(QStringLiteral("../../ttyACM0"), folder + QStringLiteral("/usb-Arduino_Uno_7563-if00")));
    QVERIFY(QFile::link(QStringLiteral("../../ttyUSB9"), folder + QStringLiteral("/usb-gone-if00-port0")));

    const QHash<QString, QString> names = QtSerialDeviceCatalog::stableNames(folder);
    const QString dev = QDir(dir.filePath(QStringLiteral("dev"))).canonicalPath();
    QCOMPARE(names.size(), 2);
    QCOMPARE(names.value(dev + QStringLiteral("/ttyUSB0")), folder + QStringLiteral("/usb-FTDI_FT232R_A50-if00-port0"));
    QCOMPARE(names.value(dev + QStringLiteral("/ttyACM0")), folder + QStringLiteral("/usb-Arduino_Uno_7563-if00"));
    QVERIFY(QtSerialDeviceCatalog::stableNames(dir.filePath(QStringLiteral("no-such-folder"))).isEmpty());
}

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "tst_qtserialport.moc"

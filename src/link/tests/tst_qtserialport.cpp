// Why a device could not be opened, as the operator is told it.
#include "link/portmap.h"
#include "link/qtserialport.h"

#include <QTest>

using namespace talvex;

class TestQtSerialPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openFailure_namesTheCause_data();
    void openFailure_namesTheCause();
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

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "tst_qtserialport.moc"

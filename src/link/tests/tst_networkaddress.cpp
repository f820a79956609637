// A COM entry that names a line over the network: how the address is read, and how a
// malformed one is refused on the command line.
#include "link/networkaddress.h"
#include "link/portmap.h"

#include <QTest>

using namespace talvex;

class TestNetworkAddress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_partsOrReason_data();
    void parse_partsOrReason();
    void deviceOption_refusesAMalformedAddress_data();
    void deviceOption_refusesAMalformedAddress();
};

void TestNetworkAddress::parse_partsOrReason_data()
{
    using Kind = NetworkAddress::Kind;
    QTest::addColumn<QString>("device");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("reason"); // a word of the error; empty: none

    QTest::newRow("device path") << "/dev/ttyUSB0" << Kind::Device << "" << 0 << "";
    QTest::newRow("raw, IPv4") << "tcp://192.168.1.20:4001" << Kind::RawTcp << "192.168.1.20" << 4001 << "";
    QTest::newRow("telnet, name") << "rfc2217://serial-7.lab.example:7000" << Kind::Rfc2217 << "serial-7.lab.example"
                                  << 7000 << "";
    QTest::newRow("IPv6 in brackets") << "RFC2217://[::1]:65535" << Kind::Rfc2217 << "::1" << 65535 << "";
    QTest::newRow("no port") << "tcp://192.168.1.20" << Kind::RawTcp << "" << 0 << "少了埠號";
    QTest::newRow("empty port") << "tcp://host:" << Kind::RawTcp << "" << 0 << "少了埠號";
    QTest::newRow("port 0") << "tcp://host:0" << Kind::RawTcp << "" << 0 << "1 到 65535";
    QTest::newRow("port too big") << "tcp://host:70000" << Kind::RawTcp << "" << 0 << "1 到 65535";
    QTest::newRow("path after the port") << "tcp://host:23/x" << Kind::RawTcp << "" << 0 << "1 到 65535";
    QTest::newRow("no host") << "rfc2217://:4001" << Kind::Rfc2217 << "" << 0 << "少了主機";
    QTest::newRow("IPv6 without brackets") << "tcp://::1:4001" << Kind::RawTcp << "" << 0 << "方括號";
    QTest::newRow("brackets around no IPv6") << "tcp://[host]:4001" << Kind::RawTcp << "" << 0 << "方括號";
    QTest::newRow("space in the host") << "tcp://my host:4001" << Kind::RawTcp << "" << 0 << "不是有效";
    QTest::newRow("unknown scheme") << "udp://host:4001" << Kind::RawTcp << "" << 0 << "udp://";
}

void TestNetworkAddress::parse_partsOrReason()
{
    QFETCH(QString, device);
    QFETCH(NetworkAddress::Kind, kind);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, reason);
    const NetworkAddress address = parseNetworkDevice(device);
    QCOMPARE(address.kind, kind);
    QCOMPARE(isNetworkDevice(device), kind != NetworkAddress::Kind::Device);
    QCOMPARE(address.host, host);
    QCOMPARE(int(address.port), port);
    QVERIFY2(reason.isEmpty() ? address.isValid() : address.error.contains(reason), qPrintable(address.error));
    if (!reason.isEmpty())
        QVERIFY(address.error.contains(device));
}

void TestNetworkAddress::deviceOption_refusesAMalformedAddress_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("device"); // empty: refused

    QTest::newRow("raw") << "2=tcp://127.0.0.1:7000"
                         << "tcp://127.0.0.1:7000";
    QTest::newRow("telnet, IPv6") << "4=rfc2217://[::1]:2217"
                                  << "rfc2217://[::1]:2217";
    QTest::newRow("malformed") << "2=tcp://127.0.0.1"
                               << "";
}

void TestNetworkAddress::deviceOption_refusesAMalformedAddress()
{
    QFETCH(QString, option);
    QFETCH(QString, device);
    PortMap map;
    QString error;
    QCOMPARE(map.applyOption(option, &error), !device.isEmpty());
    const int number = option.left(1).toInt();
    QCOMPARE(map.device(number), device.isEmpty() ? PortMap::defaultDevice(number) : device);
    QCOMPARE(error.isEmpty(), !device.isEmpty());
    QVERIFY2(device.isEmpty() == error.contains(QStringLiteral("少了埠號")), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestNetworkAddress)
#include "tst_networkaddress.moc"

// The station's line through a device server, against a server in the test itself on
// 127.0.0.1 (a port the system chooses): the bytes both ways, the Telnet side, a far
// end that refuses, goes away or floods, and the pace of the far line.
#include "link/line.h"
#include "link/networkport.h"
#include "link/portmap.h"
#include "link/routingserialport.h"
#include "link/sleeper.h"
#include "link/stationlink.h"
#include "link/telnetcodec.h"
#include "testing/fakelinkview.h"
#include "testing/scriptedoperator.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>

#include <atomic>
#include <future>
#include <memory>
#include <thread>

using namespace talvex;

namespace {

constexpr int kWaitMs = 3000;

/// What the station's port has received, read the way the station reads: no events,
/// short sleeps in between.
QByteArray stationReads(NetworkSerialPort &port, qsizetype size)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray got;
    while (got.size() < size && clock.elapsed() < kWaitMs) {
        got += port.readAll();
        QThread::msleep(5);
    }
    return got;
}

QByteArray serverReads(QTcpSocket &peer, qsizetype size)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray got;
    while (got.size() < size && clock.elapsed() < kWaitMs) {
        peer.waitForReadyRead(20);
        got += peer.readAll();
    }
    return got;
}

/// A server on 127.0.0.1 and the station's port connected to it.
struct Connection
{
    explicit Connection(const QString &scheme)
    {
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        map.setDevice(1, QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(server.serverPort()));
        port.setDeviceGoneHandler([this] { ++gone; });
        QVERIFY2(port.open(), qPrintable(port.openFailure()));
        QVERIFY(server.waitForNewConnection(kWaitMs));
        peer.reset(server.nextPendingConnection());
        QVERIFY(peer);
    }
    QTcpServer server;
    PortMap map;
    NetworkSerialPort port{map};
    std::unique_ptr<QTcpSocket> peer;
    int gone = 0;
};

/// A far end that sends without end, from a thread of its own so that it goes on
/// while the station sleeps in an exchange; it stops when its connection is gone.
class Flooder
{
public:
    Flooder()
    {
        std::promise<quint16> listening;
        m_port = listening.get_future();
        m_thread = std::thread([this, &listening] { run(listening); });
        m_port.wait();
    }
    ~Flooder()
    {
        m_stop = true;
        m_thread.join();
    }
    quint16 port() { return m_port.get(); }
    std::atomic<bool> connectionGone{false};

private:
    void run(std::promise<quint16> &listening)
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        listening.set_value(server.serverPort());
        if (!server.waitForNewConnection(kWaitMs))
            return;
        const std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
        const QByteArray chunk(64 * 1024, '7');
        while (!m_stop && peer->state() == QAbstractSocket::ConnectedState) {
            if (peer->bytesToWrite() < chunk.size())
                peer->write(chunk);
            peer->waitForBytesWritten(20);
        }
        connectionGone = peer->state() != QAbstractSocket::ConnectedState;
    }

    std::shared_future<quint16> m_port;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

class TestNetworkPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void line_carriesTheBytesBothWays_data();
    void line_carriesTheBytesBothWays();
    void open_failureNamesWhatFailed_data();
    void open_failureNamesWhatFailed();
    void farEndGone_lineLostAndToldOnce_data();
    void farEndGone_lineLostAndToldOnce();
    void farEndFloods_lineLostWithOneNotice();
    void pendingOutput_followsTheFarLine();
    void stationPort_choosesByTheMappedDevice();
};

void TestNetworkPort::line_carriesTheBytesBothWays_data()
{
    // The station writes "?VM\r", then 0xFF 'A'; the server answers with "3\r" 0xFF among
    // its own Telnet traffic (DO COM-PORT-OPTION, a line state notice, WILL ECHO).
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QByteArray>("serverGets");
    QTest::addColumn<QByteArray>("serverSends");
    QTest::addColumn<QByteArray>("serverGetsBack");
    const QByteArray raw = QByteArray::fromHex("3f564d0dff41");
    QTest::newRow("raw") << "tcp" << raw << QByteArray::fromHex("330dff") << QByteArray();
    QTest::newRow("telnet") << "rfc2217" << TelnetCodec::opening() + QByteArray::fromHex("3f564d0dffff41")
                            << QByteArray::fromHex("fffd2c330dfffa2c6b00fff0fffffffb01")
                            << QByteArray::fromHex("fffe01");
}

void TestNetworkPort::line_carriesTheBytesBothWays()
{
    QFETCH(QString, scheme);
    QFETCH(QByteArray, serverGets);
    QFETCH(QByteArray, serverSends);
    QFETCH(QByteArray, serverGetsBack);
    Connection line(scheme);
    QVERIFY(line.peer);
    QVERIFY(line.port.write("?VM\r"));
    QVERIFY(line.port.write(QByteArray::fromHex("ff41")));
    QCOMPARE(serverReads(*line.peer, serverGets.size()).toHex(), serverGets.toHex());

    line.peer->write(serverSends);
    QVERIFY(line.peer->waitForBytesWritten(kWaitMs));
    QCOMPARE(stationReads(line.port, 3).toHex(), QByteArray("330dff"));
    QCOMPARE(serverReads(*line.peer, serverGetsBack.size()).toHex(), serverGetsBack.toHex());
    QVERIFY(line.port.isOpen() && !line.port.broken());
}

void TestNetworkPort::open_failureNamesWhatFailed_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QStringList>("words");

    // A port nothing listens on: taken by a server, then freed.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    const QString freed = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    QTest::newRow("refused") << "tcp://" + freed << QStringList{freed, "對方拒絕連線"};
    QTest::newRow("malformed") << "rfc2217://127.0.0.1" << QStringList{"少了埠號"};
}

void TestNetworkPort::open_failureNamesWhatFailed()
{
    QFETCH(QString, device);
    QFETCH(QStringList, words);
    PortMap map;
    map.setDevice(2, device);
    NetworkSerialPort port(map);
    port.setPortNumber(2);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!port.open());
    QVERIFY(clock.elapsed() < NetworkSerialPort::kConnectTimeoutMs);
    QVERIFY(!port.isOpen());
    for (const QString &word : std::as_const(words))
        QVERIFY2(port.openFailure().contains(word), qPrintable(port.openFailure()));
}

void TestNetworkPort::farEndGone_lineLostAndToldOnce_data()
{
    QTest::addColumn<bool>("inExchange"); // the station reads without events, or the event loop runs
    QTest::newRow("while the station reads") << true;
    QTest::newRow("between exchanges") << false;
}

void TestNetworkPort::farEndGone_lineLostAndToldOnce()
{
    QFETCH(bool, inExchange);
    Connection line(QStringLiteral("tcp"));
    QVERIFY(line.peer);
    line.peer->write("12");
    line.peer->waitForBytesWritten(kWaitMs);
    line.peer->close();

    if (inExchange) {
        QElapsedTimer clock;
        clock.start();
        QByteArray got;
        while (!line.port.broken() && clock.elapsed() < kWaitMs) {
            got += line.port.readAll();
            QThread::msleep(5);
        }
        QCOMPARE(got, QByteArray("12"));
        QVERIFY(line.port.broken());
        QCOMPARE(line.gone, 0);
    }
    QTRY_COMPARE_WITH_TIMEOUT(line.gone, 1, kWaitMs);
    QVERIFY(line.port.broken());
    QVERIFY(!line.port.isOpen());
    QVERIFY(!line.port.write("?INP\r"));
    line.port.readAll();
    QTest::qWait(20);
    QCOMPARE(line.gone, 1);
}

void TestNetworkPort::farEndFloods_lineLostWithOneNotice()
{
    Flooder flooder;
    const QString where = QStringLiteral("127.0.0.1:%1").arg(flooder.port());
    PortMap map;
    map.setDevice(1, "tcp://" + where);
    NetworkSerialPort port(map);
    ThreadSleeper sleeper;
    testing::ScriptedOperator op;
    testing::FakeLinkView view;
    StationLink link(port, sleeper, op, view);
    struct : LineTrafficObserver
    {
        void lineTraffic(Direction direction, const QByteArray &bytes, qint64) override
        {
            if (direction == Direction::Received)
                received += bytes.size();
        }
        qint64 received = 0;
    } counter;
    link.line().addTrafficObserver(counter);

    // The connect's probe, or a poll soon after, meets the flood: the line is let go
    // of at that read, and no action waits long meanwhile.
    QElapsedTimer clock;
    clock.start();
    qint64 longest = 0;
    for (int action = 0; action < 20 && (action == 0 || port.isOpen()); ++action) {
        const qint64 before = clock.elapsed();
        if (action == 0)
            link.connectController(QStringLiteral("1"));
        else
            link.tick();
        longest = std::max(longest, clock.elapsed() - before);
    }
    QVERIFY(!port.isOpen());
    QVERIFY2(longest < Line::kStallMs, qPrintable(QString::number(longest)));
    // What the station took in stays within what the socket keeps, the burst and the
    // line's pace.
    const qint64 allowed = NetworkSerialPort::kReadBufferBytes + NetworkSerialPort::kReceiveBurstBytes +
                           clock.elapsed() * NetworkSerialPort::kLineBytesPerSecond / 1000;
    QVERIFY2(counter.received > 0 && counter.received <= allowed, qPrintable(QString::number(counter.received)));
    QTRY_VERIFY_WITH_TIMEOUT(flooder.connectionGone, kWaitMs);
    QTest::qWait(50);
    QCOMPARE(op.notices().size(), 2); // the connect's announcement, then the loss
    const QString loss = op.notices().constLast();
    QVERIFY2(loss.startsWith(Line::linkErrorText() + '\n') && loss.contains(where) && loss.contains("9600"),
             qPrintable(loss));
    // The next tick finds the line down and says nothing more.
    link.tick();
    QCOMPARE(view.status, QStringLiteral("未連線"));
    QCOMPARE(op.notices().size(), 2);
}

void TestNetworkPort::pendingOutput_followsTheFarLine()
{
    Connection line(QStringLiteral("tcp"));
    QVERIFY(line.peer);
    const qint64 size = 240; // a quarter of a second at 9600 baud
    QElapsedTimer sinceBefore;
    sinceBefore.start();
    QVERIFY(line.port.write(QByteArray(size, 'x')));
    QElapsedTimer sinceAfter;
    sinceAfter.start();
    QCOMPARE(serverReads(*line.peer, size).size(), size);

    // Bytes the socket took at once still count until the far line could have sent them.
    QThread::msleep(100);
    const qint64 early = sinceAfter.elapsed();
    const qint64 pending = line.port.pendingOutput();
    const qint64 late = sinceBefore.elapsed();
    const qint64 perSecond = NetworkSerialPort::kLineBytesPerSecond;
    QVERIFY2(pending <= size - early * perSecond / 1000 + 1, qPrintable(QString::number(pending)));
    QVERIFY2(pending >= size - late * perSecond / 1000 - 1, qPrintable(QString::number(pending)));
    QTRY_COMPARE_WITH_TIMEOUT(line.port.pendingOutput(), qint64(0), kWaitMs);
    QVERIFY(sinceBefore.elapsed() >= size * 1000 / perSecond);
}

void TestNetworkPort::stationPort_choosesByTheMappedDevice()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    PortMap map;
    map.setDevice(1, QStringLiteral("/nonexistent/ttyTALVEX"));
    map.setDevice(2, QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort()));
    RoutingSerialPort port(map);
    int gone = 0;
    port.setDeviceGoneHandler([&gone] { ++gone; });

    port.setPortNumber(2);
    QVERIFY2(port.open(), qPrintable(port.openFailure()));
    QVERIFY(server.waitForNewConnection(kWaitMs));
    std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
    QVERIFY(port.write("?VM\r"));
    QCOMPARE(serverReads(*peer, 4), QByteArray("?VM\r"));
    peer->close();
    QTRY_COMPARE_WITH_TIMEOUT(gone, 1, kWaitMs);
    QVERIFY(port.broken() && !port.isOpen());

    // The next open asks the mapping again: COM1 is a serial device.
    port.setPortNumber(1);
    QVERIFY(!port.open());
    QVERIFY2(port.openFailure().contains(QStringLiteral("不存在")), qPrintable(port.openFailure()));
    QVERIFY(!port.broken());
}

QTEST_GUILESS_MAIN(TestNetworkPort)
#include "tst_networkport.moc"

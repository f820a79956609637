// talvex-sim --listen as a station on the network sees it: the line's bytes on a TCP
// socket, the same session behind it, and one station at a time.
#include "simprocess.h"

#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using talvex::sim::testing::SimProcess;

namespace {

// Reads from @p socket until it holds a CR or @p ms pass; what came.
QByteArray readReply(QTcpSocket &socket, int ms = 5000)
{
    QByteArray reply;
    QElapsedTimer timer;
    timer.start();
    while (!reply.contains('\r') && timer.elapsed() < ms) {
        socket.waitForReadyRead(50);
        reply += socket.readAll();
    }
    return reply;
}

} // namespace

class TestSimListen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listen_servesOneStation();
    void baud_pacesTheSocket();
};

void TestSimListen::listen_servesOneStation()
{
    QTemporaryDir dir;
    SimProcess sim;
    QVERIFY(sim.start({"--store", dir.filePath("store.txt"), "--listen", "0"}));
    const QUrl url(sim.listening);
    QCOMPARE(url.scheme(), QStringLiteral("tcp"));
    QCOMPARE(url.host(), QStringLiteral("127.0.0.1"));   // loopback unless told otherwise
    QVERIFY2(url.port() > 0, qPrintable(sim.listening)); // the port the system chose

    QTcpSocket station;
    station.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(url.port()));
    QVERIFY(station.waitForConnected(5000));
    station.write("?VM\r");
    QCOMPARE(readReply(station), sim.command("speed").mid(6).toLatin1() + '\r');

    // A second station is closed at once, not kept waiting.
    QTcpSocket second;
    second.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(url.port()));
    QVERIFY(second.waitForConnected(5000));
    QVERIFY(second.state() == QAbstractSocket::UnconnectedState || second.waitForDisconnected(5000));

    // The first is still served: a download lands in the same session.
    const QByteArray download = "\x1b\x1b"
                                "DL\r{\r}\r\r";
    station.write(download);
    QVERIFY(station.waitForBytesWritten(5000));
    const QString received = QStringLiteral("received %1 5").arg(4 + download.size());
    QCOMPARE(sim.waitFor("received", [&](const QString &r) { return r == received; }), received);
    QCOMPARE(sim.waitFor("program", [](const QString &r) { return r == "program 2"; }), QStringLiteral("program 2"));
    station.write("?VM\r");
    QVERIFY(readReply(station).endsWith('\r'));
}

void TestSimListen::baud_pacesTheSocket()
{
    QTemporaryDir dir;
    SimProcess sim;
    QVERIFY(sim.start({"--store", dir.filePath("store.txt"), "--listen", "0", "--baud", "9600"}));
    QTcpSocket station;
    station.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(QUrl(sim.listening).port()));
    QVERIFY(station.waitForConnected(5000));
    const QByteArray queries = QByteArray("?VM\r").repeated(60);
    QElapsedTimer timer;
    timer.start();
    station.write(queries);
    QVERIFY(station.waitForBytesWritten(5000));
    const QString done = QStringLiteral("received %1 60").arg(queries.size());
    QCOMPARE(sim.waitFor("received", [&](const QString &r) { return r == done; }), done);
    // Ten bits a byte at 9600 baud, less the 20 ms an idle line may bank: 240 bytes
    // take at least 230 ms, where unpaced they pass in a few.
    const double lineMs = queries.size() * 10.0 / 9600.0 * 1000.0;
    QVERIFY2(timer.elapsed() >= lineMs - 25, qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestSimListen)
#include "tst_simlisten_e2e.moc"

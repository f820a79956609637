// The simulator's end of a real pseudo-terminal: what the station writes on the
// slave device reaches the controller, replies come back, and the options for
// publishing, capturing and pacing the line do what they say.
#include "simtestutil.h"

#include "sim/engine/controlchannel.h"
#include "sim/engine/controller.h"
#include "sim/engine/linesession.h"
#include "sim/engine/ptyendpoint.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

using namespace talvex;
using namespace talvex::sim;

namespace {

// The station's side: the slave device opened as a serial port would be.
class StationEnd
{
public:
    explicit StationEnd(const QString &device)
    {
        m_fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    }
    ~StationEnd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    void write(const QByteArray &bytes) const
    {
        QCOMPARE(::write(m_fd, bytes.constData(), static_cast<size_t>(bytes.size())), ssize_t(bytes.size()));
    }
    // Reads until @p count bytes have come or @p ms have passed, serving the endpoint.
    QByteArray read(PtyEndpoint &endpoint, int count, int ms = 1000) const
    {
        QByteArray got;
        for (int waited = 0; got.size() < count && waited < ms; waited += 5) {
            QCoreApplication::processEvents();
            endpoint.service();
            char buffer[512];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, static_cast<qsizetype>(n));
            else
                QThread::msleep(5);
        }
        return got;
    }

private:
    int m_fd = -1;
};

} // namespace

class TestSimPty : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void queriesAnsweredOverDevice();
    void stationMayCloseAndReopen();
    void link_publishedAndRemoved();
    void capture_everyByteRaw_data();
    void capture_everyByteRaw();
    void baud_readsAtLineRate();
    void capture_failedWriteIsReported();

private:
    QTemporaryDir m_dir;
    ManualClock m_machineClock;
    ManualClock m_lineClock;
    std::unique_ptr<Controller> m_controller;
    std::unique_ptr<LineSession> m_session;
    std::unique_ptr<PtyEndpoint> m_endpoint;
};

void TestSimPty::init()
{
    m_controller = std::make_unique<Controller>(m_machineClock, m_dir.filePath("store.txt"));
    m_session = std::make_unique<LineSession>(*m_controller, m_lineClock, LineBehaviour());
    m_endpoint = std::make_unique<PtyEndpoint>(*m_session, m_lineClock);
    QString error;
    QVERIFY2(m_endpoint->open(&error), qPrintable(error));
}

void TestSimPty::cleanup()
{
    m_endpoint.reset();
    m_session.reset();
    m_controller.reset();
}

void TestSimPty::queriesAnsweredOverDevice()
{
    QVERIFY(m_endpoint->devicePath().startsWith("/dev/pts/"));
    StationEnd station(m_endpoint->devicePath());
    QVERIFY(station.isOpen());
    station.write("?VA\r");
    QCOMPARE(station.read(*m_endpoint, 5), QByteArray("2000\r"));
    station.write("SET P4\rXMA 0\r?INP\r");
    QCOMPARE(station.read(*m_endpoint, 2), QByteArray("0\r"));
    QCOMPARE(int(m_controller->machine().outputs), 8);
    // No echo from the terminal itself: the reply is all that comes back.
    station.write("?VM\r");
    QCOMPARE(station.read(*m_endpoint, 10, 200), QByteArray("100\r"));
}

void TestSimPty::stationMayCloseAndReopen()
{
    {
        StationEnd first(m_endpoint->devicePath());
        first.write("SET P1\r");
        QCOMPARE(first.read(*m_endpoint, 1, 100), QByteArray());
    }
    QTRY_COMPARE(int(m_controller->machine().outputs), 1);
    // With every station descriptor closed the endpoint neither spins nor loses the line.
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        m_endpoint->service();
    }
    StationEnd second(m_endpoint->devicePath());
    second.write("?PEX\r");
    QCOMPARE(second.read(*m_endpoint, 2), QByteArray("0\r"));
}

void TestSimPty::link_publishedAndRemoved()
{
    const QString link = m_dir.filePath("talvex-line");
    QString error;
    QVERIFY2(m_endpoint->publishLink(link, &error), qPrintable(error));
    QCOMPARE(QFileInfo(link).symLinkTarget(), m_endpoint->devicePath());
    StationEnd station(link);
    station.write("?VA\r");
    QCOMPARE(station.read(*m_endpoint, 5), QByteArray("2000\r"));

    // A second simulator started on the same name leaves the first one's link alone.
    PtyEndpoint second(*m_session, m_lineClock);
    QVERIFY2(second.open(&error), qPrintable(error));
    QVERIFY(!second.publishLink(link, &error));
    QVERIFY(error.contains("not replacing it"));
    QCOMPARE(QFileInfo(link).symLinkTarget(), m_endpoint->devicePath());

    m_endpoint.reset();
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimPty::capture_everyByteRaw_data()
{
    QTest::addColumn<bool>("append");
    QTest::addColumn<QByteArray>("before"); // what the file held; empty: there was none
    QTest::newRow("new file") << false << QByteArray();
    QTest::newRow("appended") << true << QByteArray("an earlier run\r");
    QTest::newRow("appended to a new file") << true << QByteArray();
}

void TestSimPty::capture_everyByteRaw()
{
    QFETCH(bool, append);
    QFETCH(QByteArray, before);
    const QString path = m_dir.filePath("capture.bin");
    QFile::remove(path);
    if (!before.isEmpty()) {
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write(before);
    }
    QString error;
    QVERIFY2(m_endpoint->setCapture(path, append, &error), qPrintable(error));
    StationEnd station(m_endpoint->devicePath());
    static const char raw[] = "?VM\r\x1b\x1b"
                              "DL\r{\r$\xb0\x5f:;\r}\r\r\x00\xff";
    const QByteArray bytes(raw, sizeof raw - 1); // the NUL and 0xff included
    station.write(bytes);
    QTRY_COMPARE(m_session->bytesReceived(), qint64(bytes.size()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before + bytes);
}

void TestSimPty::baud_readsAtLineRate()
{
    // 9600 baud is 0.96 bytes a millisecond; an idle line banks at most 20 ms of it.
    m_endpoint->setBaud(9600);
    StationEnd station(m_endpoint->devicePath());
    station.write(QByteArray(100, 'A'));
    QTest::qWait(30); // the bytes are in the terminal; only the clock lets them through
    m_endpoint->service();
    QCOMPARE(m_session->bytesReceived(), qint64(0));
    m_lineClock.advance(10);
    m_endpoint->service();
    QCOMPARE(m_session->bytesReceived(), qint64(9));
    m_lineClock.advance(10);
    m_endpoint->service();
    QCOMPARE(m_session->bytesReceived(), qint64(19)); // 9.6 + 9.6 - 9
    m_lineClock.advance(1000);
    m_endpoint->service();
    QCOMPARE(m_session->bytesReceived(), qint64(19 + 19));
    for (int i = 0; i < 10; ++i) {
        m_lineClock.advance(10);
        m_endpoint->service();
    }
    QCOMPARE(m_session->bytesReceived(), qint64(100));
}

void TestSimPty::capture_failedWriteIsReported()
{
    if (::geteuid() != 0)
        QSKIP("a device node needs root");
    // A device that takes no byte, as a full disk does: the numbers of /dev/full, made
    // in the test's own folder.
    const QString full = m_dir.filePath("full");
    QCOMPARE(::mknod(QFile::encodeName(full).constData(), S_IFCHR | 0666, makedev(1, 7)), 0);
    QString error;
    QVERIFY2(m_endpoint->setCapture(full, true, &error), qPrintable(error));
    ControlChannel control(*m_controller, *m_session);
    QCOMPARE(control.execute("state"), QStringLiteral("state idle"));
    StationEnd station(m_endpoint->devicePath());
    station.write("?VA\r");
    QCOMPARE(station.read(*m_endpoint, 5), QByteArray("2000\r")); // the line goes on
    QVERIFY(control.execute("state").startsWith(QStringLiteral("state idle; capture failed: ")));
}

QTEST_GUILESS_MAIN(TestSimPty)
#include "tst_simpty.moc"

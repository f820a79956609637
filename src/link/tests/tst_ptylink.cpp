// End to end over a real pseudo-terminal: the station's Qt serial port on the slave
// side, a small scripted controller on the master side that answers the queries and
// records every byte it receives.
#include "table/programtable.h"
#include "testing/stationside.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace talvex;
using namespace talvex::testing;

namespace {

class ScriptedController
{
public:
    explicit ScriptedController(int master) : m_master(master)
    {
        m_thread = std::thread([this] { run(); });
    }
    ~ScriptedController()
    {
        m_stop = true;
        m_thread.join();
    }
    QByteArray received()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }

private:
    void run()
    {
        QByteArray line;
        while (!m_stop) {
            pollfd pfd{m_master, POLLIN, 0};
            if (::poll(&pfd, 1, 10) <= 0 || !(pfd.revents & POLLIN))
                continue;
            char buffer[4096];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.append(buffer, n);
            }
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] != '\r') {
                    line.append(buffer[i]);
                    continue;
                }
                answer(line);
                line.clear();
            }
        }
    }
    void answer(const QByteArray &line)
    {
        QByteArray reply;
        if (line == "?VM")
            reply = "TALVEX 2.1\r";
        else if (line == "?INP")
            reply = "3\r";
        else if (line == "?VA")
            reply = "1234\r";
        if (!reply.isEmpty() && ::write(m_master, reply.constData(), static_cast<size_t>(reply.size())) < 0)
            qWarning("controller could not answer");
    }

    int m_master;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    QByteArray m_received;
    std::thread m_thread;
};

} // namespace

class TestPtyLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void connectPollUploadExit_bytesArriveExactly();
};

void TestPtyLink::connectPollUploadExit_bytesArriveExactly()
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    QVERIFY(::openpty(&master, &slave, name, nullptr, nullptr) == 0);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);

    QTemporaryDir dir;
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(dir.path());

    QByteArray received;
    {
        ScriptedController controller(master);
        StationSide station(QString::fromLocal8Bit(name));

        station.link.connectController(QStringLiteral("2"));
        QCOMPARE(station.view.status, QStringLiteral("連線中"));
        station.view.checkOutput(2, true);
        station.link.tick();
        QCOMPARE(station.view.checkedInputs(), (QList<int>{1, 2}));
        QCOMPARE(station.view.acceleration, QStringLiteral("1234\r"));
        station.link.tick();

        ProgramTable table;
        table.writeHeader();
        table.setRow(1, {QStringLiteral("HOME"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                         QStringLiteral("0")});
        table.setRow(2, {QStringLiteral("LABLE"), QStringLiteral("起點"), QStringLiteral("0"), QStringLiteral("0"),
                         QStringLiteral("0")});
        station.op.answerYes();
        station.op.answerNo();
        station.upload.run(table, 2, CompileOptions(), QStringLiteral("2"));
        QVERIFY(!station.port.isOpen());

        station.link.connectController(QStringLiteral("2"));
        station.link.exit();
        QVERIFY(!station.port.isOpen());
        QCOMPARE(station.op.unscripted(), 0);
        QCOMPARE(station.op.texts(),
                 (QStringList{" 準備連線終止運作中程式", "是否儲存程式?", "現在執行程式?", " 準備連線終止運作中程式"}));
        QTest::qWait(100);
        received = controller.received();
    }
    ::close(master);
    ::close(slave);
    QDir::setCurrent(oldCwd);

    const QByteArray connect = "?VM\r\x1b\x1b"
                               "EC 0\r";
    const QByteArray poll = "?INP\r?VA\r";
    const QByteArray expected = connect + poll + "SET P2\r" + poll +
                                "?VM\r\x1b\x1b"
                                "DL\r{\rCLR VAR;\rSI #IN;\rSI #OUT;\r$MAIN:;\rXH;\rYH;\rDN;\r"
                                "$\xb0\x5f\xc2\x49:;\rJP $END;\r$END:;\r}\r\r"
                                "SAVE P\r" +
                                connect + "EC 1\r";
    QCOMPARE(received, expected);
}

QTEST_GUILESS_MAIN(TestPtyLink)
#include "tst_ptylink.moc"

#include "link/stationlink.h"
#include "testing/stationlinkfixture.h"

#include <QTest>

#include <memory>

using namespace talvex;
using namespace talvex::testing;

using Chunks = QList<QByteArray>;

class TestStationLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void connect_exactChunkSequence();
    void connect_silentControllerClosesPort();
    void connect_refusals_data();
    void connect_refusals();
    void connect_whileConnectedStaysOnOpenPort();
    void tick_pollsThenSyncs();
    void tick_portClosedStopsTimer();
    void exit_sendsEc1OnlyWhenOpen_data();
    void exit_sendsEc1OnlyWhenOpen();

private:
    std::unique_ptr<StationLinkFixture> m_fixture;
    VirtualSleeper *m_clock = nullptr;
    MemorySerialPort *m_port = nullptr;
    ScriptedOperator *m_op = nullptr;
    FakeLinkView *m_view = nullptr;
    StationLink *m_station = nullptr;
};

void TestStationLink::init()
{
    m_fixture = std::make_unique<StationLinkFixture>();
    m_clock = &m_fixture->clock;
    m_port = &m_fixture->port;
    m_op = &m_fixture->op;
    m_view = &m_fixture->view;
    m_station = &m_fixture->station;
}

void TestStationLink::cleanup()
{
    m_fixture.reset();
}

void TestStationLink::connect_exactChunkSequence()
{
    m_view->timerRunning = false;
    m_station->connectController(QStringLiteral("3"));
    QCOMPARE(m_op->shown()[0].text, QStringLiteral(" 準備連線終止運作中程式"));
    QCOMPARE(m_op->shown()[0].title, QStringLiteral("訊息"));
    QCOMPARE(m_op->shown().size(), size_t(1));
    QCOMPARE(m_port->portNumbersOpened, QList<int>{3});
    QCOMPARE(m_port->writes, (Chunks{"?VM\r", "\x1b", "\x1b", "EC 0", "\r"}));
    QVERIFY(m_view->timerRunning);
    QCOMPARE(m_view->status, QStringLiteral("連線中"));
    QCOMPARE(m_clock->slept, 200);
}

void TestStationLink::connect_silentControllerClosesPort()
{
    m_port->responder = {};
    m_view->timerRunning = false;
    m_station->connectController(QStringLiteral("1"));
    QCOMPARE(m_op->texts(), (QStringList{" 準備連線終止運作中程式", "通訊有誤!"}));
    QCOMPARE(m_op->shown()[1].title, QStringLiteral("訊息"));
    QVERIFY(!m_port->isOpen());
    QCOMPARE(m_port->writes, Chunks{"?VM\r"});
    QVERIFY(!m_view->timerRunning); // left as it was
    QCOMPARE(m_view->status, QStringLiteral("未連線"));
}

void TestStationLink::connect_refusals_data()
{
    QTest::addColumn<QString>("comPort");
    QTest::addColumn<QString>("failOpen");
    QTest::addColumn<QStringList>("mustMention");
    QTest::newRow("port 9 from the settings file") << "9"
                                                   << "" << QStringList{"COM9", "COM1", "COM4"};
    QTest::newRow("empty settings file") << ""
                                         << "" << QStringList{"COM1"};
    QTest::newRow("device missing") << "2"
                                    << "裝置 /dev/memory2 不存在。" << QStringList{"COM2", "/dev/memory2", "不存在"};
    QTest::newRow("no permission") << "1"
                                   << "沒有使用裝置 /dev/memory1 的權限。請將使用者加入群組 dialout"
                                   << QStringList{"COM1", "dialout"};
}

void TestStationLink::connect_refusals()
{
    QFETCH(QString, comPort);
    QFETCH(QString, failOpen);
    QFETCH(QStringList, mustMention);
    m_port->failOpenWith = failOpen;
    m_station->connectController(comPort);
    QCOMPARE(m_op->shown().size(), size_t(2));
    const QString notice = m_op->shown()[1].text;
    for (const QString &word : mustMention)
        QVERIFY2(notice.contains(word), qPrintable(notice));
    QCOMPARE(m_op->shown()[1].title, QStringLiteral("訊息"));
    QVERIFY(!m_port->isOpen());
    QVERIFY(m_port->writes.isEmpty());
}

void TestStationLink::connect_whileConnectedStaysOnOpenPort()
{
    m_station->connectController(QStringLiteral("1"));
    m_port->clearWrites();
    m_station->connectController(QStringLiteral("3"));
    QCOMPARE(m_port->portNumbersOpened, QList<int>{1});
    QVERIFY(m_port->isOpen());
    QCOMPARE(m_port->writes, (Chunks{"?VM\r", "\x1b", "\x1b", "EC 0", "\r"}));
}

void TestStationLink::tick_pollsThenSyncs()
{
    m_station->connectController(QStringLiteral("1"));
    m_port->clearWrites();
    m_view->checkOutput(6, true);
    m_view->status.clear();
    m_station->tick();
    QCOMPARE(m_port->writes, (Chunks{"?INP", "\r", "?VA", "\r", "SET P6", "\r"}));
    QCOMPARE(m_view->checkedInputs(), (QList<int>{1, 3}));
    QCOMPARE(m_view->acceleration, QStringLiteral("2000\r"));
    QCOMPARE(m_view->status, QStringLiteral("連線中"));
    QVERIFY(m_view->motionEnabled);
    QVERIFY(m_station->outputLatch()(6));
}

void TestStationLink::tick_portClosedStopsTimer()
{
    m_view->motionEnabled = true;
    m_view->status = QStringLiteral("連線中");
    m_station->tick();
    QVERIFY(!m_view->timerRunning);
    QCOMPARE(m_view->status, QStringLiteral("未連線"));
    QVERIFY(!m_view->motionEnabled);
    QVERIFY(m_op->shown().empty());
    QVERIFY(m_port->writes.isEmpty());
}

void TestStationLink::exit_sendsEc1OnlyWhenOpen_data()
{
    QTest::addColumn<bool>("connected");
    QTest::newRow("connected") << true;
    QTest::newRow("not connected") << false;
}

void TestStationLink::exit_sendsEc1OnlyWhenOpen()
{
    QFETCH(bool, connected);
    if (connected)
        m_station->connectController(QStringLiteral("1"));
    m_port->clearWrites();
    m_op->clear();
    m_station->exit();
    QCOMPARE(m_port->writes, connected ? (Chunks{"EC 1", "\r"}) : Chunks{});
    QVERIFY(!m_port->isOpen());
    QCOMPARE(m_port->closes, connected ? 1 : 0);
    QVERIFY(m_op->shown().empty());
}

QTEST_GUILESS_MAIN(TestStationLink)
#include "tst_stationlink.moc"

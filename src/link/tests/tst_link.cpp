#include "link/iopanel.h"
#include "link/line.h"
#include "link/portmap.h"
#include "link/stationlink.h"
#include "testing/fakelinkview.h"
#include "testing/memoryserialport.h"
#include "testing/scriptedoperator.h"

#include <QDateTime>
#include <QTest>

#include <algorithm>

using namespace talvex;
using namespace talvex::testing;

using Chunks = QList<QByteArray>;

class TestLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void sendCommand_textThenCarriageReturnAsTwoWrites_data();
    void sendCommand_textThenCarriageReturnAsTwoWrites();
    void sendCommand_closedPortShowsMessageOncePerCall();
    void timedQuery_returnsRawReplyWithinFiftyMs_data();
    void timedQuery_returnsRawReplyWithinFiftyMs();
    void timedQuery_lateReplyLandsInNextRead();
    void probe_oneWriteAndAnyTextCounts_data();
    void probe_oneWriteAndAnyTextCounts();
    void readText_oneBig5StreamPerConnection_data();
    void readText_oneBig5StreamPerConnection();
    void linkState_transitions_data();
    void linkState_transitions();
    void trafficObserver_toldEveryWriteAndReadInOrder();

    void pollInputs_decodesAnswer_data();
    void pollInputs_decodesAnswer();
    void pollInputs_chunksAndStaleTextDiscarded();
    void pollInputs_closedPortReportsNotResponding();
    void syncOutputs_ascendingOrderAndCancelling_data();
    void syncOutputs_ascendingOrderAndCancelling();
    void syncOutputs_latchSurvivesLinkDown();
    void inputBox_closedPortReports();

    void lineDeath_reportedOnceAndPortClosed();
    void waitUntilSent_showsProgressOnlyWhenSlow_data();
    void waitUntilSent_showsProgressOnlyWhenSlow();
    void waitUntilSent_stalledLineIsDead();
    void portMap_defaultsAndOptions_data();
    void portMap_defaultsAndOptions();

private:
    VirtualSleeper m_clock;
    MemorySerialPort *m_port = nullptr;
    ScriptedOperator *m_op = nullptr;
    FakeLinkView m_view;
    StationLink *m_station = nullptr;
    Line *m_link = nullptr;
};

void TestLink::init()
{
    m_clock = VirtualSleeper();
    m_port = new MemorySerialPort(m_clock);
    m_op = new ScriptedOperator;
    m_view = FakeLinkView();
    m_station = new StationLink(*m_port, m_clock, *m_op, m_view);
    m_link = &m_station->line();
    QVERIFY(m_port->open());
}

void TestLink::cleanup()
{
    delete m_station;
    delete m_op;
    delete m_port;
}

void TestLink::sendCommand_textThenCarriageReturnAsTwoWrites_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Chunks>("chunks");
    QTest::newRow("command") << "EC 0" << Chunks{"EC 0", "\r"};
    QTest::newRow("empty line") << "" << Chunks{"", "\r"};
    QTest::newRow("Big5 label") << QStringLiteral("$起點:;") << Chunks{"$\xb0\x5f\xc2\x49:;", "\r"};
}

void TestLink::sendCommand_textThenCarriageReturnAsTwoWrites()
{
    QFETCH(QString, text);
    QFETCH(Chunks, chunks);
    int replies = 0;
    m_port->responder = [&](const QByteArray &) {
        ++replies;
        return QByteArray("ignored\r");
    };
    m_link->sendCommand(text);
    QCOMPARE(m_port->writes, chunks);
    QCOMPARE(m_clock.slept, 0); // nothing is waited for
    QCOMPARE(replies, 1);
    QVERIFY(m_op->shown().empty());
}

void TestLink::sendCommand_closedPortShowsMessageOncePerCall()
{
    m_port->close();
    m_link->sendCommand(QStringLiteral("XMA 50"));
    m_link->sendCommand(QStringLiteral("YMA 60"));
    QCOMPARE(m_op->notices(), (QStringList{" 連線錯誤 !", " 連線錯誤 !"}));
    QCOMPARE(m_op->shown()[0].title, QString());
    QVERIFY(m_port->writes.isEmpty());
}

void TestLink::timedQuery_returnsRawReplyWithinFiftyMs_data()
{
    QTest::addColumn<int>("delay");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("expected");
    QTest::newRow("prompt reply with echo untouched") << 10 << QByteArray("?VA\r2000\r") << "?VA\r2000\r";
    QTest::newRow("at 50 ms still counts") << 50 << QByteArray("2000\r") << "2000\r";
    QTest::newRow("after 80 ms is too late") << 80 << QByteArray("2000\r") << "";
}

void TestLink::timedQuery_returnsRawReplyWithinFiftyMs()
{
    QFETCH(int, delay);
    QFETCH(QByteArray, reply);
    QFETCH(QString, expected);
    m_port->replyDelayMs = delay;
    m_port->responder = [&](const QByteArray &line) { return line == "?VA" ? reply : QByteArray(); };
    QCOMPARE(m_link->timedQuery(QStringLiteral("?VA")), expected);
    QCOMPARE(m_port->writes, (Chunks{"?VA", "\r"}));
    QCOMPARE(m_clock.slept, 50);
}

void TestLink::timedQuery_lateReplyLandsInNextRead()
{
    m_port->replyDelayMs = 80;
    m_port->responder = [](const QByteArray &line) { return line == "?VA" ? QByteArray("2000\r") : QByteArray(); };
    QCOMPARE(m_link->timedQuery(QStringLiteral("?VA")), QString());
    m_port->responder = [](const QByteArray &line) { return line == "?PEX" ? QByteArray("150\r") : QByteArray(); };
    m_port->replyDelayMs = 10;
    // The next reader takes whatever has arrived: the late acceleration first.
    QCOMPARE(m_link->timedQuery(QStringLiteral("?PEX")), QStringLiteral("2000\r150\r"));
}

void TestLink::probe_oneWriteAndAnyTextCounts_data()
{
    QTest::addColumn<int>("delay");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("earlier");
    QTest::addColumn<bool>("alive");
    QTest::newRow("answers") << 150 << QByteArray("V1.0\r") << QByteArray() << true;
    QTest::newRow("silent") << 0 << QByteArray() << QByteArray() << false;
    QTest::newRow("too slow") << 250 << QByteArray("V1.0\r") << QByteArray() << false;
    QTest::newRow("text from before counts") << 0 << QByteArray() << QByteArray("junk") << true;
    QTest::newRow("a lone lead byte counts") << 150 << QByteArray("\xA4") << QByteArray() << true;
}

void TestLink::probe_oneWriteAndAnyTextCounts()
{
    QFETCH(int, delay);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, earlier);
    QFETCH(bool, alive);
    m_port->replyDelayMs = delay;
    m_port->responder = [&](const QByteArray &line) { return line == "?VM" ? reply : QByteArray(); };
    if (!earlier.isEmpty())
        m_port->deliverNow(earlier);
    QCOMPARE(m_station->session().probe(), alive);
    QCOMPARE(m_port->writes, Chunks{"?VM\r"});
    QCOMPARE(m_clock.slept, 200);
}

void TestLink::readText_oneBig5StreamPerConnection_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QString>("between"); // what the link does between the two reads
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QString>("firstText");
    QTest::addColumn<QString>("secondText");
    QTest::newRow("a lead byte waits for its trail")
        << QByteArray("12\xA4") << "" << QByteArray("\x40") << "12" << QStringLiteral("一");
    QTest::newRow("then the rest of the read")
        << QByteArray("\xA4") << "" << QByteArray("\x40OK\r") << "" << QStringLiteral("一OK\r");
    QTest::newRow("a new connection starts clean") << QByteArray("\xA4") << "reopen" << QByteArray("\x40") << ""
                                                   << "@";
    QTest::newRow("the input poll's discard drops it") << QByteArray("\xA4") << "discard" << QByteArray("\x40") << ""
                                                       << "@";
}

void TestLink::readText_oneBig5StreamPerConnection()
{
    QFETCH(QByteArray, first);
    QFETCH(QString, between);
    QFETCH(QByteArray, second);
    QFETCH(QString, firstText);
    QFETCH(QString, secondText);
    m_port->deliverNow(first);
    QCOMPARE(m_link->readText(), firstText);
    if (between == QLatin1String("reopen")) {
        m_link->close();
        QVERIFY(m_link->open(1));
    } else if (between == QLatin1String("discard")) {
        m_link->discardReceived();
    }
    m_port->deliverNow(second);
    QCOMPARE(m_link->readText(), secondText);
}

void TestLink::linkState_transitions_data()
{
    // Each step is followed by the state it leaves; steps that look inside a box or an
    // action record the state seen there too.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("states");
    QTest::addColumn<int>("linkErrors");
    QTest::newRow("closed by the station") << QStringList{"close", "send"} << QStringList{"Closed", "Closed"} << 1;
    QTest::newRow("failure met by a send is told, then closed")
        << QStringList{"unplug", "send", "send"} << QStringList{"Lost", "Closed", "Closed"} << 2;
    QTest::newRow("told once per action") << QStringList{"unplug", "twoSends"} << QStringList{"Lost", "Closed"} << 1;
    QTest::newRow("vanished between exchanges: told at once")
        << QStringList{"vanish", "open"} << QStringList{"Closed", "Open"} << 1;
    QTest::newRow("vanished in an action: told at its end")
        << QStringList{"vanishInAction"} << QStringList{"Lost", "Closed"} << 1;
    QTest::newRow("vanished while a box is up: told after it")
        << QStringList{"vanishInBox"} << QStringList{"Lost", "Closed"} << 1;
}

void TestLink::linkState_transitions()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, states);
    QFETCH(int, linkErrors);
    static const QStringList kNames = {"Closed", "Open", "Lost", "LostReported"};
    QStringList seen;
    auto record = [&] { seen << kNames.at(int(m_link->state())); };
    QCOMPARE(m_link->state(), LinkState::Open);
    for (const QString &step : steps) {
        if (step == QLatin1String("close")) {
            m_link->close();
        } else if (step == QLatin1String("open")) {
            QVERIFY(m_link->open(1));
        } else if (step == QLatin1String("unplug")) {
            m_port->unplug();
        } else if (step == QLatin1String("vanish")) {
            m_port->vanish();
        } else if (step == QLatin1String("send")) {
            m_link->sendCommand(QStringLiteral("H"));
        } else if (step == QLatin1String("twoSends")) {
            Line::Operation action(*m_link);
            m_link->sendCommand(QStringLiteral("H"));
            m_link->sendCommand(QStringLiteral("H"));
        } else if (step == QLatin1String("vanishInAction")) {
            Line::Operation action(*m_link);
            m_port->vanish();
            record();
        } else if (step == QLatin1String("vanishInBox")) {
            m_op->onShow = [&](const ScriptedOperator::Shown &shown) {
                if (shown.text != QLatin1String("box"))
                    return;
                m_port->vanish();
                record();
            };
            m_link->op().notice(QStringLiteral("box"));
            m_op->onShow = {};
        }
        record();
    }
    QCOMPARE(seen, states);
    QCOMPARE(m_op->notices().count(Line::linkErrorText()), linkErrors);
    QVERIFY(m_port->writes.isEmpty());
}

void TestLink::pollInputs_decodesAnswer_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QList<int>>("checked");
    QTest::newRow("255") << QByteArray("255\r") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8};
    QTest::newRow("32768") << QByteArray("32768\r") << QList<int>{16};
    QTest::newRow("5") << QByteArray("5\r") << QList<int>{1, 3};
    QTest::newRow("0") << QByteArray("0\r") << QList<int>{};
    QTest::newRow("empty") << QByteArray() << QList<int>{};
    QTest::newRow("echo first") << QByteArray("?INP\r255\r") << QList<int>{};
    QTest::newRow("letters") << QByteArray("ERR\r") << QList<int>{};
    QTest::newRow("65535") << QByteArray("65535") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    QTest::newRow("above 65535") << QByteArray("70000")
                                 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    QTest::newRow("beyond 32 bits") << QByteArray("99999999999")
                                    << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    QTest::newRow("negative") << QByteArray("-5") << QList<int>{};
    QTest::newRow("far negative") << QByteArray("-99999999999") << QList<int>{};
    QTest::newRow("2.5 rounds to 2") << QByteArray("2.5") << QList<int>{2};
    QTest::newRow("3.5 rounds to 4") << QByteArray("3.5") << QList<int>{3};
    QTest::newRow("blanks inside") << QByteArray(" 1 6\r") << QList<int>{5};
}

void TestLink::pollInputs_decodesAnswer()
{
    QFETCH(QByteArray, answer);
    QFETCH(QList<int>, checked);
    m_view.inputs.fill(true); // every box must be decided by the poll
    m_port->responder = [&](const QByteArray &line) {
        if (line == "?INP")
            return answer;
        return line == "?VA" ? QByteArray("1500\r") : QByteArray();
    };
    m_port->replyDelayMs = 20;
    pollInputs(m_station->session(), m_view);
    QCOMPARE(m_view.checkedInputs(), checked);
    QCOMPARE(m_view.acceleration, QStringLiteral("1500\r"));
}

void TestLink::pollInputs_chunksAndStaleTextDiscarded()
{
    m_port->deliverNow("stale reply\r");
    m_port->replyDelayMs = 5;
    m_port->responder = [](const QByteArray &line) {
        if (line == "?INP")
            return QByteArray("6\r");
        return line == "?VA" ? QByteArray("2000\r") : QByteArray();
    };
    pollInputs(m_station->session(), m_view);
    QCOMPARE(m_port->writes, (Chunks{"?INP", "\r", "?VA", "\r"}));
    QCOMPARE(m_view.checkedInputs(), (QList<int>{2, 3}));
    QCOMPARE(m_clock.slept, 100);
}

void TestLink::pollInputs_closedPortReportsNotResponding()
{
    m_port->close();
    m_view.status = QStringLiteral("連線中");
    pollInputs(m_station->session(), m_view);
    QCOMPARE(m_op->notices(), QStringList{" Not Response !!  連線錯誤 !"});
    QCOMPARE(m_op->shown()[0].title, QString());
    QCOMPARE(m_view.status, QStringLiteral("未連線"));
    QVERIFY(m_port->writes.isEmpty());
}

void TestLink::syncOutputs_ascendingOrderAndCancelling_data()
{
    QTest::addColumn<QList<int>>("clicks");  // boxes toggled, in order, before the tick
    QTest::addColumn<QList<int>>("latched"); // outputs already on
    QTest::addColumn<Chunks>("chunks");
    QTest::newRow("5 then 2 sends 2 first")
        << QList<int>{5, 2} << QList<int>{} << Chunks{"SET P2", "\r", "SET P5", "\r"};
    QTest::newRow("checked and unchecked again") << QList<int>{3, 3} << QList<int>{} << Chunks{};
    QTest::newRow("switched off") << QList<int>{4} << QList<int>{4} << Chunks{"CLR P4", "\r"};
    QTest::newRow("on stays on") << QList<int>{} << QList<int>{7} << Chunks{};
    QTest::newRow("all eight") << QList<int>{8, 7, 6, 5, 4, 3, 2, 1} << QList<int>{}
                               << Chunks{"SET P1", "\r", "SET P2", "\r", "SET P3", "\r", "SET P4", "\r",
                                         "SET P5", "\r", "SET P6", "\r", "SET P7", "\r", "SET P8", "\r"};
}

void TestLink::syncOutputs_ascendingOrderAndCancelling()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QList<int>, latched);
    QFETCH(Chunks, chunks);
    OutputLatch latch;
    for (int n : latched) {
        latch.set(n, true);
        m_view.checkOutput(n, true);
    }
    for (int n : clicks)
        m_view.checkOutput(n, !m_view.outputChecked(n));
    syncOutputs(m_station->session(), m_view, latch);
    QCOMPARE(m_port->writes, chunks);
    for (int n = 1; n <= 8; ++n)
        QCOMPARE(latch(n), m_view.outputChecked(n));
    m_port->clearWrites();
    syncOutputs(m_station->session(), m_view, latch);
    QVERIFY(m_port->writes.isEmpty()); // nothing is sent twice
}

void TestLink::syncOutputs_latchSurvivesLinkDown()
{
    OutputLatch latch;
    m_view.checkOutput(1, true);
    syncOutputs(m_station->session(), m_view, latch);
    m_port->close();
    m_view.checkOutput(2, true);
    QVERIFY(m_port->open());
    m_port->clearWrites();
    syncOutputs(m_station->session(), m_view, latch);
    QCOMPARE(m_port->writes, (Chunks{"SET P2", "\r"}));
}

void TestLink::inputBox_closedPortReports()
{
    inputBoxClicked(*m_link, m_view);
    QVERIFY(m_op->shown().empty());
    m_port->close();
    inputBoxClicked(*m_link, m_view);
    QCOMPARE(m_op->notices(), QStringList{Line::notRespondingText()});
    QCOMPARE(m_view.status, QStringLiteral("未連線"));
}

void TestLink::lineDeath_reportedOnceAndPortClosed()
{
    m_port->failWriteAt = 3;
    {
        Line::Operation download(*m_link);
        for (int i = 0; i < 50; ++i)
            m_link->sendCommand(QStringLiteral("XMA %1;").arg(i));
    }
    QCOMPARE(m_op->notices(), QStringList{" 連線錯誤 !"});
    QVERIFY(!m_port->isOpen());
    QCOMPARE(m_port->writes.size(), 3);
    // A later, separate command is told again.
    m_link->sendCommand(QStringLiteral("H"));
    QCOMPARE(m_op->notices().size(), 2);
}

void TestLink::waitUntilSent_showsProgressOnlyWhenSlow_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("progress");
    QTest::newRow("small burst") << 300 << false;
    QTest::newRow("a long program") << 10000 << true;
}

void TestLink::waitUntilSent_showsProgressOnlyWhenSlow()
{
    QFETCH(int, bytes);
    QFETCH(bool, progress);
    m_port->bytesPerSecond = 960; // 9600 baud
    m_link->beginTransfer();
    m_link->writeRaw(QByteArray(bytes, 'x'));
    QVERIFY(m_link->waitUntilSent(QStringLiteral("下載程式")));
    QCOMPARE(m_port->pendingOutput(), 0);
    QVERIFY(m_clock.now() >= bytes * 1000 / 960);
    QCOMPARE(m_op->progressUpdates > 0, progress);
    QVERIFY(!m_op->progressOpen);
    if (progress) {
        QCOMPARE(m_op->lastProgressTotal, qint64(bytes));
        QVERIFY(m_op->lastProgressDone > bytes / 2);
    }
}

void TestLink::waitUntilSent_stalledLineIsDead()
{
    // Simulate a line that stops taking bytes: pending output never drops.
    struct Stuck : MemorySerialPort
    {
        using MemorySerialPort::MemorySerialPort;
        qint64 pendingOutput() override { return isOpen() ? 42 : 0; }
    } stuck(m_clock);
    QVERIFY(stuck.open());
    FakeLinkView view;
    StationLink station(stuck, m_clock, *m_op, view);
    Line &link = station.line();
    QVERIFY(!link.waitUntilSent(QStringLiteral("下載程式")));
    QVERIFY(!stuck.isOpen());
    QCOMPARE(m_op->notices(), QStringList{" 連線錯誤 !"});
    QVERIFY(!m_op->progressOpen);
    QVERIFY(m_clock.now() >= Line::kStallMs);
}

void TestLink::trafficObserver_toldEveryWriteAndReadInOrder()
{
    using Direction = LineTrafficObserver::Direction;
    struct Recorder : LineTrafficObserver
    {
        QList<QPair<Direction, QByteArray>> seen;
        QList<qint64> times;
        void lineTraffic(Direction direction, const QByteArray &bytes, qint64 msecsSinceEpoch) override
        {
            seen.append({direction, bytes});
            times.append(msecsSinceEpoch);
        }
    } recorder;
    m_port->responder = [](const QByteArray &line) {
        return line == "?VM" ? QByteArray("V\r") : line == "?VA" ? QByteArray("1800\r") : QByteArray();
    };
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    m_link->addTrafficObserver(recorder);
    QVERIFY(m_station->session().probe());
    m_link->writeRaw(QByteArray(1, '\x1b'));
    m_link->sendCommand(QStringLiteral("EC 0"));
    QCOMPARE(m_link->timedQuery(QStringLiteral("?VA")), QStringLiteral("1800\r"));
    m_link->readText(); // nothing more arrived: nothing to tell
    m_link->removeTrafficObserver(recorder);
    m_link->sendCommand(QStringLiteral("H"));

    const QList<QPair<Direction, QByteArray>> expected{{Direction::Sent, "?VM\r"}, {Direction::Received, "V\r"},
                                                       {Direction::Sent, "\x1b"},  {Direction::Sent, "EC 0"},
                                                       {Direction::Sent, "\r"},    {Direction::Sent, "?VA"},
                                                       {Direction::Sent, "\r"},    {Direction::Received, "1800\r"}};
    QCOMPARE(recorder.seen, expected);
    QVERIFY(std::is_sorted(recorder.times.begin(), recorder.times.end()));
    QVERIFY(recorder.times.first() >= before && recorder.times.last() <= QDateTime::currentMSecsSinceEpoch());
}

void TestLink::portMap_defaultsAndOptions_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("devices");
    // The platform's own: /dev/ttyS0../dev/ttyS3 on Linux, COM1..COM4 on Windows.
    const QStringList defaults{PortMap::defaultDevice(1), PortMap::defaultDevice(2), PortMap::defaultDevice(3),
                               PortMap::defaultDevice(4)};
    QTest::newRow("defaults") << QStringList() << true << defaults;
    QTest::newRow("remap one") << QStringList{"1=/dev/ttyUSB0"} << true
                               << QStringList{"/dev/ttyUSB0", defaults.at(1), defaults.at(2), defaults.at(3)};
    QTest::newRow("port 5") << QStringList{"5=/dev/x"} << false << QStringList();
    QTest::newRow("no path") << QStringList{"2="} << false << QStringList();
    QTest::newRow("no number") << QStringList{"/dev/x"} << false << QStringList();
}

void TestLink::portMap_defaultsAndOptions()
{
    QFETCH(QStringList, options);
    QFETCH(bool, ok);
    QFETCH(QStringList, devices);
    PortMap map;
    bool allOk = true;
    for (const QString &option : options) {
        QString error;
        allOk = map.applyOption(option, &error) && allOk;
        if (!allOk)
            QVERIFY(error.contains(QStringLiteral("N=PATH")));
    }
    QCOMPARE(allOk, ok);
    for (int n = 1; n <= devices.size(); ++n)
        QCOMPARE(map.device(n), devices.at(n - 1));
    QCOMPARE(map.device(0), QString());
    QCOMPARE(map.device(9), QString());
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"

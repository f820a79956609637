#include "link/stationlink.h"
#include "table/programtable.h"
#include "testing/fakelinkview.h"
#include "testing/memoryserialport.h"
#include "testing/scriptedoperator.h"
#include "testing/workedexample.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
    void upload_workedExampleByteExact_data();
    void upload_workedExampleByteExact();
    void upload_earlyExits_data();
    void upload_earlyExits();
    void upload_listingUnwritableStillDownloads();
    void upload_probeFailsBeforeDownload();
    void upload_lineDiesMidDownload();
    void upload_slowLineShowsProgressBeforeQuestions();
    void exit_sendsEc1OnlyWhenOpen_data();
    void exit_sendsEc1OnlyWhenOpen();

private:
    void answerLikeAController();

    QTemporaryDir *m_dir = nullptr;
    QString m_oldCwd;
    VirtualSleeper m_clock;
    MemorySerialPort *m_port = nullptr;
    ScriptedOperator *m_op = nullptr;
    FakeLinkView m_view;
    StationLink *m_station = nullptr;
};

void TestStationLink::init()
{
    m_oldCwd = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QDir::setCurrent(m_dir->path());
    m_clock = VirtualSleeper();
    m_port = new MemorySerialPort(m_clock);
    m_op = new ScriptedOperator;
    m_view = FakeLinkView();
    m_station = new StationLink(*m_port, m_clock, *m_op, m_view);
    answerLikeAController();
}

void TestStationLink::cleanup()
{
    delete m_station;
    delete m_op;
    delete m_port;
    QDir::setCurrent(m_oldCwd);
    delete m_dir;
}

void TestStationLink::answerLikeAController()
{
    m_port->replyDelayMs = 20;
    m_port->responder = [](const QByteArray &line) -> QByteArray {
        if (line == "?VM")
            return "TALVEX 2.1\r";
        if (line == "?INP")
            return "5\r";
        if (line == "?VA")
            return "2000\r";
        return {};
    };
}

void TestStationLink::connect_exactChunkSequence()
{
    m_view.timerRunning = false;
    m_station->Connect(QStringLiteral("3"));
    QCOMPARE(m_op->shown()[0].text, QStringLiteral(" 準備連線終止運作中程式"));
    QCOMPARE(m_op->shown()[0].title, QStringLiteral("訊息"));
    QCOMPARE(m_op->shown().size(), size_t(1));
    QCOMPARE(m_port->portNumbersOpened, QList<int>{3});
    QCOMPARE(m_port->writes, (Chunks{"?VM\r", "\x1b", "\x1b", "EC 0", "\r"}));
    QVERIFY(m_view.timerRunning);
    QCOMPARE(m_view.status, QStringLiteral("連線中"));
    QCOMPARE(m_clock.slept, 200);
}

void TestStationLink::connect_silentControllerClosesPort()
{
    m_port->responder = {};
    m_view.timerRunning = false;
    m_station->Connect(QStringLiteral("1"));
    QCOMPARE(m_op->texts(), (QStringList{" 準備連線終止運作中程式", "通訊有誤!"}));
    QCOMPARE(m_op->shown()[1].title, QStringLiteral("訊息"));
    QVERIFY(!m_port->isOpen());
    QCOMPARE(m_port->writes, Chunks{"?VM\r"});
    QVERIFY(!m_view.timerRunning); // left as it was
    QCOMPARE(m_view.status, QStringLiteral("未連線"));
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
    m_station->Connect(comPort);
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
    m_station->Connect(QStringLiteral("1"));
    m_port->clearWrites();
    m_station->Connect(QStringLiteral("3"));
    QCOMPARE(m_port->portNumbersOpened, QList<int>{1});
    QVERIFY(m_port->isOpen());
    QCOMPARE(m_port->writes, (Chunks{"?VM\r", "\x1b", "\x1b", "EC 0", "\r"}));
}

void TestStationLink::tick_pollsThenSyncs()
{
    m_station->Connect(QStringLiteral("1"));
    m_port->clearWrites();
    m_view.checkOutput(6, true);
    m_view.status.clear();
    m_station->tick();
    QCOMPARE(m_port->writes, (Chunks{"?INP", "\r", "?VA", "\r", "SET P6", "\r"}));
    QCOMPARE(m_view.checkedInputs(), (QList<int>{1, 3}));
    QCOMPARE(m_view.acceleration, QStringLiteral("2000\r"));
    QCOMPARE(m_view.status, QStringLiteral("連線中"));
    QVERIFY(m_view.motionEnabled);
    QVERIFY(m_station->outputLatch()(6));
}

void TestStationLink::tick_portClosedStopsTimer()
{
    m_view.motionEnabled = true;
    m_view.status = QStringLiteral("連線中");
    m_station->tick();
    QVERIFY(!m_view.timerRunning);
    QCOMPARE(m_view.status, QStringLiteral("未連線"));
    QVERIFY(!m_view.motionEnabled);
    QVERIFY(m_op->shown().empty());
    QVERIFY(m_port->writes.isEmpty());
}

void TestStationLink::upload_workedExampleByteExact_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("run");
    QTest::newRow("Yes, Yes") << true << true;
    QTest::newRow("No, No") << false << false;
    QTest::newRow("No, Yes") << false << true;
}

void TestStationLink::upload_workedExampleByteExact()
{
    QFETCH(bool, save);
    QFETCH(bool, run);
    const int lastRow = kWorkedExampleLastRow;
    const ProgramTable table = workedExampleTable();
    const CompileOptions options = workedExampleOptions();
    CompiledProgram program;

    m_station->Connect(QStringLiteral("1"));
    m_port->clearWrites();
    m_op->clear();
    save ? m_op->answerYes() : m_op->answerNo();
    run ? m_op->answerYes() : m_op->answerNo();
    QByteArray sentBeforeQuestion;
    m_op->onShow = [&](const ScriptedOperator::Shown &shown) {
        if (shown.text == QStringLiteral("是否儲存程式?"))
            sentBeforeQuestion = m_port->written();
    };
    m_station->upload(table, lastRow, options, program, QStringLiteral("1"));

    Chunks expected = {"?VM\r", "\x1b", "\x1b", "DL", "\r"};
    for (const QString &line : workedExampleLines())
        expected << line.toLatin1() << "\r";
    expected << "\r";
    const QByteArray downloadBytes = expected.mid(1).join();
    if (save)
        expected << "SAVE P"
                 << "\r";
    if (run)
        expected << "G"
                 << "\r";
    QCOMPARE(m_port->writes, expected);
    QCOMPARE(sentBeforeQuestion.right(downloadBytes.size()), downloadBytes);

    QCOMPARE(m_op->texts(), (QStringList{"是否儲存程式?", "現在執行程式?"}));
    QCOMPARE(m_op->shown()[0].kind, ScriptedOperator::Kind::YesNo);
    QCOMPARE(m_op->shown()[1].title, QStringLiteral("訊息"));
    QVERIFY(!m_port->isOpen());
    QCOMPARE(m_view.status, QStringLiteral("未連線"));
    QVERIFY(!m_view.motionEnabled);
    QVERIFY(!m_view.timerRunning);
    QCOMPARE(program.ProgramTextLast, 24);

    QFile listing(QStringLiteral("TRY.txt"));
    QVERIFY(listing.open(QIODevice::ReadOnly));
    QCOMPARE(listing.readAll(), workedExampleLines().join("\r\n").toLatin1() + "\r\n");
}

void TestStationLink::upload_earlyExits_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("controllerSilent");
    QTest::addColumn<QString>("table"); // "empty", "unpaired"
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<Chunks>("chunks");
    QTest::addColumn<bool>("portOpen");

    QTest::newRow("closed port, empty table: connect runs, then silence")
        << false << false << "empty" << QStringList{" 準備連線終止運作中程式"}
        << Chunks{"?VM\r", "\x1b", "\x1b", "EC 0", "\r"} << true;
    QTest::newRow("closed port, no controller")
        << false << true << "worked" << QStringList{" 準備連線終止運作中程式", "通訊有誤!"} << Chunks{"?VM\r"} << false;
    QTest::newRow("connected, unpaired loops")
        << true << false << "unpaired" << QStringList{"迴圈數目未成對!"} << Chunks{} << true;
}

void TestStationLink::upload_earlyExits()
{
    QFETCH(bool, connected);
    QFETCH(bool, controllerSilent);
    QFETCH(QString, table);
    QFETCH(QStringList, shown);
    QFETCH(Chunks, chunks);
    QFETCH(bool, portOpen);

    int lastRow = kWorkedExampleLastRow;
    ProgramTable t = workedExampleTable();
    if (table == QLatin1String("empty"))
        lastRow = 0;
    if (table == QLatin1String("unpaired"))
        t.setCell(5, 0, QStringLiteral("LOOP"));
    if (connected) {
        m_station->Connect(QStringLiteral("1"));
        m_op->clear();
        m_port->clearWrites();
    }
    if (controllerSilent)
        m_port->responder = {};
    CompiledProgram program;
    m_station->upload(t, lastRow, CompileOptions(), program, QStringLiteral("1"));
    QCOMPARE(m_op->texts(), shown);
    QCOMPARE(m_port->writes, chunks);
    QCOMPARE(m_port->isOpen(), portOpen);
    QVERIFY(!QFile::exists(QStringLiteral("TRY.txt")));
    QCOMPARE(program.ProgramTextLast, -1);
    if (connected)
        QVERIFY(m_view.timerRunning);
}

void TestStationLink::upload_listingUnwritableStillDownloads()
{
    QVERIFY(QDir().mkdir(QStringLiteral("TRY.txt")));
    const int lastRow = kWorkedExampleLastRow;
    const ProgramTable table = workedExampleTable();
    CompiledProgram program;
    m_station->Connect(QStringLiteral("1"));
    m_op->clear();
    m_op->answerNo();
    m_op->answerNo();
    m_station->upload(table, lastRow, CompileOptions(), program, QStringLiteral("1"));
    QCOMPARE(m_op->shown().size(), size_t(3));
    QVERIFY(m_op->shown()[0].text.contains(QStringLiteral("TRY.txt")));
    QCOMPARE(m_op->shown()[0].title, QStringLiteral("訊息"));
    QVERIFY(m_port->written().contains("JNZ #L1,$LOOP1;\r"));
}

void TestStationLink::upload_probeFailsBeforeDownload()
{
    const int lastRow = kWorkedExampleLastRow;
    const ProgramTable table = workedExampleTable();
    CompiledProgram program;
    m_station->Connect(QStringLiteral("1"));
    m_op->clear();
    m_port->clearWrites();
    m_port->responder = {};
    m_view.status = QStringLiteral("連線中");
    m_station->upload(table, lastRow, CompileOptions(), program, QStringLiteral("1"));
    QCOMPARE(m_op->texts(), QStringList{"通訊有誤!"});
    QCOMPARE(m_port->writes, Chunks{"?VM\r"});
    QVERIFY(!m_port->isOpen());
    QVERIFY(!m_view.timerRunning);
    QCOMPARE(m_view.status, QStringLiteral("連線中")); // not updated on this path
    QVERIFY(QFile::exists(QStringLiteral("TRY.txt"))); // written before the probe
}

void TestStationLink::upload_lineDiesMidDownload()
{
    const int lastRow = kWorkedExampleLastRow;
    const ProgramTable table = workedExampleTable();
    CompiledProgram program;
    m_station->Connect(QStringLiteral("1"));
    m_op->clear();
    m_port->clearWrites();
    m_port->failWriteAt = 20; // counted from the open: in the middle of the program lines
    m_station->upload(table, lastRow, CompileOptions(), program, QStringLiteral("1"));
    QCOMPARE(m_op->texts(), QStringList{" 連線錯誤 !"});
    QVERIFY(!m_port->isOpen());
    QVERIFY(m_view.timerRunning); // so the next tick shows the link as down
    m_station->tick();
    QCOMPARE(m_view.status, QStringLiteral("未連線"));
    QVERIFY(!m_view.timerRunning);
    QCOMPARE(m_op->shown().size(), size_t(1));
}

void TestStationLink::upload_slowLineShowsProgressBeforeQuestions()
{
    ProgramTable table;
    table.writeHeader();
    for (int r = 1; r <= 200; ++r)
        table.setRow(r, {QStringLiteral("POINT"), QStringLiteral("65535"), QStringLiteral("1"), QStringLiteral("2"),
                         QStringLiteral("255")});
    // 200 points of 20 lines pass the limit; 45 fit.
    CompiledProgram program;
    m_station->Connect(QStringLiteral("1"));
    m_port->bytesPerSecond = 960;
    m_op->clear();
    m_op->answerYes();
    m_op->answerYes();
    bool progressOpenAtQuestion = true;
    qint64 doneAtQuestion = 0;
    m_op->onShow = [&](const ScriptedOperator::Shown &) {
        progressOpenAtQuestion = m_op->progressOpen;
        doneAtQuestion = m_op->lastProgressDone;
    };
    m_station->upload(table, 45, CompileOptions(), program, QStringLiteral("1"));
    QVERIFY(m_op->progressUpdates > 5);
    QVERIFY(!progressOpenAtQuestion);
    QCOMPARE(doneAtQuestion, m_op->lastProgressTotal);
    QVERIFY(m_op->lastProgressTotal > 4000);
    QVERIFY(m_clock.now() * 960 / 1000 >= m_op->lastProgressTotal);
    QVERIFY(m_port->written().endsWith("}\r\rSAVE P\rG\r"));
    QCOMPARE(m_port->pendingOutput(), 0);
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
        m_station->Connect(QStringLiteral("1"));
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

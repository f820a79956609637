#include "editor/uploadjob.h"
#include "table/programtable.h"
#include "testing/stationlinkfixture.h"
#include "testing/workedexample.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

using namespace talvex;
using namespace talvex::testing;

using Chunks = QList<QByteArray>;

class TestUploadJob : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void upload_workedExampleByteExact_data();
    void upload_workedExampleByteExact();
    void upload_earlyExits_data();
    void upload_earlyExits();
    void upload_listingUnwritableStillDownloads();
    void upload_probeFailsBeforeDownload();
    void upload_lineDiesMidDownload();
    void upload_slowLineShowsProgressBeforeQuestions();

private:
    /// Connected, with the worked example ready to go and nothing shown or sent yet.
    void connectWithWorkedExample();

    std::unique_ptr<StationLinkFixture> m_fixture;
    VirtualSleeper *m_clock = nullptr;
    MemorySerialPort *m_port = nullptr;
    ScriptedOperator *m_op = nullptr;
    FakeLinkView *m_view = nullptr;
    StationLink *m_station = nullptr;
    std::unique_ptr<UploadJob> m_job;
    const int m_lastRow = kWorkedExampleLastRow;
    const ProgramTable m_table = workedExampleTable();
};

void TestUploadJob::init()
{
    m_fixture = std::make_unique<StationLinkFixture>();
    m_clock = &m_fixture->clock;
    m_port = &m_fixture->port;
    m_op = &m_fixture->op;
    m_view = &m_fixture->view;
    m_station = &m_fixture->station;
    m_job = std::make_unique<UploadJob>(*m_station);
}

void TestUploadJob::cleanup()
{
    m_job.reset();
    m_fixture.reset();
}

void TestUploadJob::connectWithWorkedExample()
{
    m_station->connectController(QStringLiteral("1"));
    m_op->clear();
}

void TestUploadJob::upload_workedExampleByteExact_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("run");
    QTest::newRow("Yes, Yes") << true << true;
    QTest::newRow("No, No") << false << false;
    QTest::newRow("No, Yes") << false << true;
}

void TestUploadJob::upload_workedExampleByteExact()
{
    QFETCH(bool, save);
    QFETCH(bool, run);
    const CompileOptions options = workedExampleOptions();

    m_station->connectController(QStringLiteral("1"));
    m_port->clearWrites();
    m_op->clear();
    save ? m_op->answerYes() : m_op->answerNo();
    run ? m_op->answerYes() : m_op->answerNo();
    QByteArray sentBeforeQuestion;
    m_op->onShow = [&](const ScriptedOperator::Shown &shown) {
        if (shown.text == QStringLiteral("是否儲存程式?"))
            sentBeforeQuestion = m_port->written();
    };
    m_job->run(m_table, m_lastRow, options, QStringLiteral("1"));

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
    // Enter answers the run question with No: a stray key must not start motion.
    QVERIFY(!m_op->shown()[0].defaultNo);
    QVERIFY(m_op->shown()[1].defaultNo);
    QVERIFY(!m_port->isOpen());
    QCOMPARE(m_view->status, QStringLiteral("未連線"));
    QVERIFY(!m_view->motionEnabled);
    QVERIFY(!m_view->timerRunning);
    QCOMPARE(m_job->program().ProgramTextLast, 24);

    QFile listing(QStringLiteral("TRY.txt"));
    QVERIFY(listing.open(QIODevice::ReadOnly));
    QCOMPARE(listing.readAll(), workedExampleLines().join("\r\n").toLatin1() + "\r\n");
}

void TestUploadJob::upload_earlyExits_data()
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

void TestUploadJob::upload_earlyExits()
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
        m_station->connectController(QStringLiteral("1"));
        m_op->clear();
        m_port->clearWrites();
    }
    if (controllerSilent)
        m_port->responder = {};
    m_job->run(t, lastRow, CompileOptions(), QStringLiteral("1"));
    QCOMPARE(m_op->texts(), shown);
    QCOMPARE(m_port->writes, chunks);
    QCOMPARE(m_port->isOpen(), portOpen);
    QVERIFY(!QFile::exists(QStringLiteral("TRY.txt")));
    QCOMPARE(m_job->program().ProgramTextLast, -1);
    if (connected)
        QVERIFY(m_view->timerRunning);
}

void TestUploadJob::upload_listingUnwritableStillDownloads()
{
    QVERIFY(QDir().mkdir(QStringLiteral("TRY.txt")));
    connectWithWorkedExample();
    m_op->answerNo();
    m_op->answerNo();
    m_job->run(m_table, m_lastRow, CompileOptions(), QStringLiteral("1"));
    QCOMPARE(m_op->shown().size(), size_t(3));
    QVERIFY(m_op->shown()[0].text.contains(QStringLiteral("TRY.txt")));
    QCOMPARE(m_op->shown()[0].title, QStringLiteral("訊息"));
    QVERIFY(m_port->written().contains("JNZ #L1,$LOOP1;\r"));
}

void TestUploadJob::upload_probeFailsBeforeDownload()
{
    connectWithWorkedExample();
    m_port->clearWrites();
    m_port->responder = {};
    m_view->status = QStringLiteral("連線中");
    m_view->motionEnabled = true;
    m_job->run(m_table, m_lastRow, CompileOptions(), QStringLiteral("1"));
    QCOMPARE(m_op->texts(), QStringList{"通訊有誤!"});
    QCOMPARE(m_port->writes, Chunks{"?VM\r"});
    QVERIFY(!m_port->isOpen());
    QVERIFY(!m_view->timerRunning);
    // The line is down and the window says so, as the next tick would have.
    QCOMPARE(m_view->status, QStringLiteral("未連線"));
    QVERIFY(!m_view->motionEnabled);
    QVERIFY(QFile::exists(QStringLiteral("TRY.txt"))); // written before the probe
}

void TestUploadJob::upload_lineDiesMidDownload()
{
    connectWithWorkedExample();
    m_port->clearWrites();
    m_port->failWriteAt = 20; // counted from the open: in the middle of the program lines
    m_job->run(m_table, m_lastRow, CompileOptions(), QStringLiteral("1"));
    QCOMPARE(m_op->texts(), QStringList{" 連線錯誤 !"});
    QVERIFY(!m_port->isOpen());
    QVERIFY(m_view->timerRunning); // so the next tick shows the link as down
    m_station->tick();
    QCOMPARE(m_view->status, QStringLiteral("未連線"));
    QVERIFY(!m_view->timerRunning);
    QCOMPARE(m_op->shown().size(), size_t(1));
}

void TestUploadJob::upload_slowLineShowsProgressBeforeQuestions()
{
    ProgramTable table;
    table.writeHeader();
    for (int r = 1; r <= 200; ++r)
        table.setRow(r, {QStringLiteral("POINT"), QStringLiteral("65535"), QStringLiteral("1"), QStringLiteral("2"),
                         QStringLiteral("255")});
    // 200 points of 20 lines pass the limit; 45 fit.
    m_station->connectController(QStringLiteral("1"));
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
    m_job->run(table, 45, CompileOptions(), QStringLiteral("1"));
    QVERIFY(m_op->progressUpdates > 5);
    QVERIFY(!progressOpenAtQuestion);
    QCOMPARE(doneAtQuestion, m_op->lastProgressTotal);
    QVERIFY(m_op->lastProgressTotal > 4000);
    QVERIFY(m_clock->now() * 960 / 1000 >= m_op->lastProgressTotal);
    QVERIFY(m_port->written().endsWith("}\r\rSAVE P\rG\r"));
    QCOMPARE(m_port->pendingOutput(), 0);
}

QTEST_GUILESS_MAIN(TestUploadJob)
#include "tst_uploadjob.moc"

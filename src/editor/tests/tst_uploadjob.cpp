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
    void upload_listingUnwritableStillDownloads_data();
    void upload_listingUnwritableStillDownloads();
    void upload_probeFailsBeforeDownload();
    void upload_lineDiesMidDownload();
    void upload_slowLineShowsProgressBeforeQuestions();
    void upload_problemsQuestion_data();
    void upload_problemsQuestion();

private:
    /// Connected, with the worked example ready to go and nothing shown or sent yet.
    void connectWithWorkedExample();

    std::unique_ptr<StationLinkFixture> m_fixture;
    std::unique_ptr<UploadJob> m_job;
    const int m_lastRow = kWorkedExampleLastRow;
    const ProgramTable m_table = workedExampleTable();
};

void TestUploadJob::init()
{
    m_fixture = std::make_unique<StationLinkFixture>();
    m_job = std::make_unique<UploadJob>(m_fixture->station);
    // On Windows the listing goes to C:\ by default; the test keeps it in its own folder.
    m_job->setListingPlaces({QDir::current().filePath(QStringLiteral("TRY.txt")), QString()});
}

void TestUploadJob::cleanup()
{
    m_job.reset();
    m_fixture.reset();
}

void TestUploadJob::connectWithWorkedExample()
{
    m_fixture->station.connectController(QStringLiteral("1"));
    m_fixture->op.clear();
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

    m_fixture->station.connectController(QStringLiteral("1"));
    m_fixture->port.clearWrites();
    m_fixture->op.clear();
    save ? m_fixture->op.answerYes() : m_fixture->op.answerNo();
    run ? m_fixture->op.answerYes() : m_fixture->op.answerNo();
    QByteArray sentBeforeQuestion;
    m_fixture->op.onShow = [&](const ScriptedOperator::Shown &shown) {
        if (shown.text == QStringLiteral("是否儲存程式?"))
            sentBeforeQuestion = m_fixture->port.written();
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
    QCOMPARE(m_fixture->port.writes, expected);
    QCOMPARE(sentBeforeQuestion.right(downloadBytes.size()), downloadBytes);

    QCOMPARE(m_fixture->op.texts(), (QStringList{"是否儲存程式?", "現在執行程式?"}));
    QCOMPARE(m_fixture->op.shown()[0].kind, ScriptedOperator::Kind::YesNo);
    QCOMPARE(m_fixture->op.shown()[1].title, QStringLiteral("訊息"));
    // Enter answers the run question with No: a stray key must not start motion.
    QVERIFY(!m_fixture->op.shown()[0].defaultNo);
    QVERIFY(m_fixture->op.shown()[1].defaultNo);
    QVERIFY(!m_fixture->port.isOpen());
    QCOMPARE(m_fixture->view.status, QStringLiteral("未連線"));
    QVERIFY(!m_fixture->view.motionEnabled);
    QVERIFY(!m_fixture->view.timerRunning);
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
        m_fixture->station.connectController(QStringLiteral("1"));
        m_fixture->op.clear();
        m_fixture->port.clearWrites();
    }
    if (controllerSilent)
        m_fixture->port.responder = {};
    m_job->run(t, lastRow, CompileOptions(), QStringLiteral("1"));
    QCOMPARE(m_fixture->op.texts(), shown);
    QCOMPARE(m_fixture->port.writes, chunks);
    QCOMPARE(m_fixture->port.isOpen(), portOpen);
    QVERIFY(!QFile::exists(QStringLiteral("TRY.txt")));
    QCOMPARE(m_job->program().ProgramTextLast, -1);
    if (connected)
        QVERIFY(m_fixture->view.timerRunning);
}

void TestUploadJob::upload_listingUnwritableStillDownloads_data()
{
    QTest::addColumn<bool>("fallback");
    QTest::newRow("nowhere else: a warning at every upload") << false;
    QTest::newRow("another place: said once where it went") << true;
}

void TestUploadJob::upload_listingUnwritableStillDownloads()
{
    QFETCH(bool, fallback);
    // A folder where the listing should be: no file can be written there.
    QVERIFY(QDir().mkdir(QStringLiteral("TRY.txt")));
    const QString other = QDir::current().filePath(QStringLiteral("documents/TALVEX/TRY.txt"));
    m_job->setListingPlaces({QDir::current().filePath(QStringLiteral("TRY.txt")), fallback ? other : QString()});
    for (int upload = 1; upload <= 2; ++upload) {
        // An upload closes the line after the download: each one starts connected.
        connectWithWorkedExample();
        m_fixture->op.answerNo();
        m_fixture->op.answerNo();
        m_job->run(m_table, m_lastRow, CompileOptions(), QStringLiteral("1"));
        QVERIFY(m_fixture->port.written().contains("JNZ #L1,$LOOP1;\r"));
        const bool told = !fallback || upload == 1;
        QCOMPARE(m_fixture->op.shown().size(), size_t(told ? 3 : 2));
        if (told) {
            QVERIFY(m_fixture->op.shown()[0].text.contains(QStringLiteral("TRY.txt")));
            QCOMPARE(m_fixture->op.shown()[0].title, QStringLiteral("訊息"));
            QCOMPARE(m_fixture->op.shown()[0].text.contains(QDir::toNativeSeparators(other)), fallback);
        }
    }
    QCOMPARE(QFile::exists(other), fallback);
}

void TestUploadJob::upload_probeFailsBeforeDownload()
{
    connectWithWorkedExample();
    m_fixture->port.clearWrites();
    m_fixture->port.responder = {};
    m_fixture->view.status = QStringLiteral("連線中");
    m_fixture->view.motionEnabled = true;
    m_job->run(m_table, m_lastRow, CompileOptions(), QStringLiteral("1"));
    QCOMPARE(m_fixture->op.texts(), QStringList{"通訊有誤!"});
    QCOMPARE(m_fixture->port.writes, Chunks{"?VM\r"});
    QVERIFY(!m_fixture->port.isOpen());
    QVERIFY(!m_fixture->view.timerRunning);
    // The line is down and the window says so, as the next tick would have.
    QCOMPARE(m_fixture->view.status, QStringLiteral("未連線"));
    QVERIFY(!m_fixture->view.motionEnabled);
    QVERIFY(QFile::exists(QStringLiteral("TRY.txt"))); // written before the probe
}

void TestUploadJob::upload_lineDiesMidDownload()
{
    connectWithWorkedExample();
    m_fixture->port.clearWrites();
    m_fixture->port.failWriteAt = 20; // counted from the open: in the middle of the program lines
    m_job->run(m_table, m_lastRow, CompileOptions(), QStringLiteral("1"));
    QCOMPARE(m_fixture->op.texts(), QStringList{" 連線錯誤 !"});
    QVERIFY(!m_fixture->port.isOpen());
    QVERIFY(m_fixture->view.timerRunning); // so the next tick shows the link as down
    m_fixture->station.tick();
    QCOMPARE(m_fixture->view.status, QStringLiteral("未連線"));
    QVERIFY(!m_fixture->view.timerRunning);
    QCOMPARE(m_fixture->op.shown().size(), size_t(1));
}

void TestUploadJob::upload_slowLineShowsProgressBeforeQuestions()
{
    ProgramTable table;
    table.writeHeader();
    for (int r = 1; r <= 200; ++r)
        table.setRow(r, {QStringLiteral("POINT"), QStringLiteral("65535"), QStringLiteral("1"), QStringLiteral("2"),
                         QStringLiteral("255")});
    // 200 points of 20 lines pass the limit; 45 fit.
    m_fixture->station.connectController(QStringLiteral("1"));
    m_fixture->port.bytesPerSecond = 960;
    m_fixture->op.clear();
    m_fixture->op.answerYes();
    m_fixture->op.answerYes();
    bool progressOpenAtQuestion = true;
    qint64 doneAtQuestion = 0;
    m_fixture->op.onShow = [&](const ScriptedOperator::Shown &) {
        progressOpenAtQuestion = m_fixture->op.progressOpen;
        doneAtQuestion = m_fixture->op.lastProgressDone;
    };
    m_job->run(table, 45, CompileOptions(), QStringLiteral("1"));
    QVERIFY(m_fixture->op.progressUpdates > 5);
    QVERIFY(!progressOpenAtQuestion);
    QCOMPARE(doneAtQuestion, m_fixture->op.lastProgressTotal);
    QVERIFY(m_fixture->op.lastProgressTotal > 4000);
    QVERIFY(m_fixture->clock.now() * 960 / 1000 >= m_fixture->op.lastProgressTotal);
    QVERIFY(m_fixture->port.written().endsWith("}\r\rSAVE P\rG\r"));
    QCOMPARE(m_fixture->port.pendingOutput(), 0);
}

void TestUploadJob::upload_problemsQuestion_data()
{
    QTest::addColumn<QString>("delay"); // row 4's delay
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("answer"); // to the problems question, when it is asked
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("uploaded");

    QTest::newRow("no problems: not asked") << "1000" << true << false << false << true;
    QTest::newRow("a problem, 是: the upload as before") << "1s" << true << true << true << true;
    QTest::newRow("a problem, 否: nothing sent") << "1s" << true << false << true << false;
    QTest::newRow("a problem, 否, closed port: no connect either") << "1s" << false << false << true << false;
}

void TestUploadJob::upload_problemsQuestion()
{
    QFETCH(QString, delay);
    QFETCH(bool, connected);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(bool, uploaded);

    ProgramTable table = m_table;
    table.setCell(4, Column::Datum, delay);
    if (connected)
        connectWithWorkedExample();
    m_fixture->port.clearWrites();
    if (asked)
        answer ? m_fixture->op.answerYes() : m_fixture->op.answerNo();
    m_fixture->op.answerNo();
    m_fixture->op.answerNo();
    m_job->run(table, m_lastRow, CompileOptions(), QStringLiteral("1"));

    const QString question = QStringLiteral("程式有 1 個問題 (第 4 行: 延遲時間「1s」不是數字), 仍要上傳嗎?");
    QStringList texts;
    if (asked)
        texts << question;
    if (uploaded)
        texts << QStringLiteral("是否儲存程式?") << QStringLiteral("現在執行程式?");
    QCOMPARE(m_fixture->op.texts(), texts);
    if (asked) {
        const ScriptedOperator::Shown &shown = m_fixture->op.shown().front();
        QCOMPARE(shown.kind, ScriptedOperator::Kind::YesNo);
        QCOMPARE(shown.title, QStringLiteral("訊息"));
        QVERIFY(shown.defaultNo);
    }

    Chunks expected;
    if (uploaded) {
        expected = {"?VM\r", "\x1b", "\x1b", "DL", "\r"};
        for (const ProgramLine &line : compileForm(table, m_lastRow, CompileOptions()).lines)
            expected << line.text.toLatin1() << "\r";
        expected << "\r";
    }
    QCOMPARE(m_fixture->port.writes, expected);
    QCOMPARE(m_fixture->port.isOpen(), connected && !uploaded);
    QCOMPARE(QFile::exists(QStringLiteral("TRY.txt")), uploaded);
}

QTEST_GUILESS_MAIN(TestUploadJob)
#include "tst_uploadjob.moc"

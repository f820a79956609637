// The controller's side of the line: queries, commands, downloads, the stored
// program, the line behaviours (echo, delay, silence, junk) and the control channel.
#include "simtestutil.h"

#include "sim/engine/controlchannel.h"
#include "sim/engine/controller.h"
#include "sim/engine/linesession.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace talvex;
using namespace talvex::sim;
using namespace talvex::sim::testing;

class TestSimController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void queries_answerTheMachine_data();
    void queries_answerTheMachine();
    void commands_actOnTheMachine_data();
    void commands_actOnTheMachine();
    void unknownLines_countedNotAnswered();
    void download_linesUpToEmptyLineBecomeProgram();
    void download_escapeAbandonsAndKeepsOldProgram();
    void download_queriesStillAnswered();
    void download_tooLongIsRefused();
    void go_runsAndEcStops_data();
    void go_runsAndEcStops();
    void savedProgram_survivesPowerCycle();
    void savedProgram_unwritableStoreIsReported();
    void savedProgram_loadsNoMoreThanADownload_data();
    void savedProgram_loadsNoMoreThanADownload();

    void session_echoAndDelayKeepLineOrder_data();
    void session_echoAndDelayKeepLineOrder();
    void session_escapeClearsPartialLine();
    void session_heldRepliesStayBounded_data();
    void session_heldRepliesStayBounded();

    void control_repliesOneLineEach_data();
    void control_repliesOneLineEach();
    void control_inputsJogAndState();

private:
    QTemporaryDir m_dir;
    ManualClock m_clock;
    std::unique_ptr<Controller> m_controller;
    QString storePath() const { return m_dir.filePath("program.txt"); }
};

void TestSimController::init()
{
    m_clock.set(0);
    QFile::remove(storePath());
    m_controller = std::make_unique<Controller>(m_clock, storePath());
}

void TestSimController::queries_answerTheMachine_data()
{
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("speed at power-up") << QByteArray() << QByteArray("?VM") << QByteArray("100");
    QTest::newRow("acceleration at power-up") << QByteArray() << QByteArray("?VA") << QByteArray("2000");
    QTest::newRow("no inputs") << QByteArray() << QByteArray("?INP") << QByteArray("0");
    QTest::newRow("x at origin") << QByteArray() << QByteArray("?PEX") << QByteArray("0");
    QTest::newRow("x after move") << QByteArray("XMA 12.5") << QByteArray("?PEX") << QByteArray("12.5");
    QTest::newRow("y after move") << QByteArray("YMA -30") << QByteArray("?PEY") << QByteArray("-30");
    QTest::newRow("blanks around") << QByteArray() << QByteArray(" ?VA ") << QByteArray("2000");
    QTest::newRow("lower case unknown") << QByteArray() << QByteArray("?va") << QByteArray();
    QTest::newRow("unknown query") << QByteArray() << QByteArray("?XYZ") << QByteArray();
}

void TestSimController::queries_answerTheMachine()
{
    QFETCH(QByteArray, setup);
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, reply);
    if (!setup.isEmpty())
        QCOMPARE(m_controller->handleLine(setup), QByteArray());
    m_clock.advance(60000); // any move has long ended
    QCOMPARE(m_controller->handleLine(query), reply);
    QCOMPARE(m_controller->unknownCount(), reply.isEmpty() ? 1 : 0);
}

void TestSimController::commands_actOnTheMachine_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<int>("outputs");
    QTest::addColumn<bool>("handFree");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("unknown");

    using Lines = QList<QByteArray>;
    QTest::newRow("set output 3") << Lines{"SET P3"} << 4 << false << 0.0 << 0.0 << 0;
    QTest::newRow("set 1 and 8, clear 1") << Lines{"SET P1", "SET P8", "CLR P1"} << 128 << false << 0.0 << 0.0 << 0;
    QTest::newRow("output 9 does not exist") << Lines{"SET P9", "SET P0", "SET P"} << 0 << false << 0.0 << 0.0 << 3;
    QTest::newRow("HOFF frees") << Lines{"HOFF"} << 0 << true << 0.0 << 0.0 << 0;
    QTest::newRow("HON holds again") << Lines{"HOFF", "HON"} << 0 << false << 0.0 << 0.0 << 0;
    QTest::newRow("move both") << Lines{"XMA 50", "YMA 60"} << 0 << false << 50.0 << 60.0 << 0;
    QTest::newRow("home") << Lines{"XMA 50", "YMA 60", "H"} << 0 << false << 0.0 << 0.0 << 0;
    QTest::newRow("move with ; is not interactive") << Lines{"XMA 50;"} << 0 << false << 0.0 << 0.0 << 1;
    QTest::newRow("move to letters") << Lines{"XMA abc"} << 0 << false << 0.0 << 0.0 << 1;
    QTest::newRow("empty line ignored") << Lines{""} << 0 << false << 0.0 << 0.0 << 0;
    QTest::newRow("EC 2 unknown") << Lines{"EC 2"} << 0 << false << 0.0 << 0.0 << 1;
}

void TestSimController::commands_actOnTheMachine()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(int, outputs);
    QFETCH(bool, handFree);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, unknown);
    for (const QByteArray &line : lines) {
        QCOMPARE(m_controller->handleLine(line), QByteArray());
        m_clock.advance(20000);
    }
    const Machine &machine = m_controller->machine();
    QCOMPARE(int(machine.outputs), outputs);
    QCOMPARE(machine.handFree, handFree);
    QCOMPARE(machine.x.position(m_clock.nowMs()), x);
    QCOMPARE(machine.y.position(m_clock.nowMs()), y);
    QCOMPARE(m_controller->unknownCount(), unknown);
}

void TestSimController::unknownLines_countedNotAnswered()
{
    QSignalSpy notes(m_controller.get(), &Controller::note);
    QCOMPARE(m_controller->handleLine("HELLO"), QByteArray());
    QCOMPARE(m_controller->handleLine("\xb0\x5f"), QByteArray());
    QCOMPARE(m_controller->unknownCount(), 2);
    QCOMPARE(m_controller->lastUnknown(), QByteArray("\xb0\x5f"));
    QCOMPARE(notes.size(), 2);
    QCOMPARE(notes.at(1).at(0).toString(), QStringLiteral("無法辨識的命令「起」"));
}

void TestSimController::download_linesUpToEmptyLineBecomeProgram()
{
    QSignalSpy changed(m_controller.get(), &Controller::programChanged);
    LineSession session(*m_controller, m_clock, LineBehaviour());
    session.receive(downloadBytes(workedExample()));
    QCOMPARE(changed.size(), 1);
    QVERIFY(!m_controller->downloading());
    QCOMPARE(m_controller->program().lines(), workedExample());
    QCOMPARE(m_controller->unknownCount(), 0);
    QCOMPARE(session.linesReceived(), 27); // DL, 25 lines, the empty line
    // A line after the empty one is a command again.
    session.receive("SET P2\r");
    QCOMPARE(int(m_controller->machine().outputs), 2);
    QCOMPARE(m_controller->program().size(), 25);
}

void TestSimController::download_escapeAbandonsAndKeepsOldProgram()
{
    LineSession session(*m_controller, m_clock, LineBehaviour());
    session.receive(downloadBytes({"{", "OUTP 1;", "}"}));
    session.receive("\x1b\x1b"
                    "DL\r{\rXMA 5;\rYM");
    QVERIFY(m_controller->downloading());
    session.receive("\x1b\x1b"
                    "EC 0\r");
    QVERIFY(!m_controller->downloading());
    QCOMPARE(m_controller->program().lines(), (QStringList{"{", "OUTP 1;", "}"}));
    QCOMPARE(m_controller->unknownCount(), 0);
}

void TestSimController::download_queriesStillAnswered()
{
    LineSession session(*m_controller, m_clock, LineBehaviour());
    session.receive("DL\r{\r?VM\rOUTP 3;\r");
    QCOMPARE(session.takeDue(), QByteArray("100\r"));
    session.receive("}\r\r");
    QCOMPARE(m_controller->program().lines(), (QStringList{"{", "OUTP 3;", "}"}));
}

void TestSimController::download_tooLongIsRefused()
{
    LineSession session(*m_controller, m_clock, LineBehaviour());
    session.receive(downloadBytes({"{", "}"}));
    QByteArray longOne = "DL\r";
    for (int i = 0; i < Controller::kMaxProgramLines + 5; ++i)
        longOne += "SET P1\r";
    session.receive(longOne + "\r");
    QCOMPARE(m_controller->program().lines(), (QStringList{"{", "}"}));
    QCOMPARE(int(m_controller->machine().outputs), 0); // the rest was not taken as commands
    QVERIFY(!m_controller->downloading());
}

void TestSimController::go_runsAndEcStops_data()
{
    QTest::addColumn<QByteArray>("stop");
    QTest::newRow("EC 0") << QByteArray("EC 0");
    QTest::newRow("EC 1") << QByteArray("EC 1");
    QTest::newRow("DL") << QByteArray("DL");
}

void TestSimController::go_runsAndEcStops()
{
    QFETCH(QByteArray, stop);
    LineSession session(*m_controller, m_clock, LineBehaviour());
    session.receive(downloadBytes({"{", "OUTP 1;", "WT 60000;", "OUTP 2;", "}"}));
    session.receive("G\r");
    QCOMPARE(int(m_controller->machine().outputs), 1);
    QVERIFY(m_controller->interpreter().running());
    m_clock.advance(30000);
    session.receive(stop + '\r');
    QCOMPARE(m_controller->interpreter().state(), Interpreter::State::Idle);
    m_clock.advance(60000);
    m_controller->advance();
    QCOMPARE(int(m_controller->machine().outputs), 1);
    QCOMPARE(m_controller->interpreter().takeEvents().constLast(), QStringLiteral("stop"));
}

void TestSimController::savedProgram_survivesPowerCycle()
{
    const QStringList lines{"{", "$起點:;", "JP $起點;", "}"};
    {
        LineSession session(*m_controller, m_clock, LineBehaviour());
        session.receive(downloadBytes(lines) + "SAVE P\r");
    }
    QFile file(storePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("{\r\n$\xb0\x5f\xc2\x49:;\r\nJP $\xb0\x5f\xc2\x49;\r\n}\r\n"));

    Controller again(m_clock, storePath());
    QSignalSpy changed(&again, &Controller::programChanged);
    QCOMPARE(again.program().size(), 0);
    again.powerUp();
    QCOMPARE(changed.size(), 1);
    QCOMPARE(again.program().lines(), lines);
    // A download that is not saved does not replace the stored one.
    LineSession session(again, m_clock, LineBehaviour());
    session.receive(downloadBytes({"{", "}"}));
    Controller third(m_clock, storePath());
    third.powerUp();
    QCOMPARE(third.program().lines(), lines);
}

void TestSimController::savedProgram_unwritableStoreIsReported()
{
    QFile blocker(m_dir.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Controller controller(m_clock, m_dir.filePath("file/program.txt"));
    QSignalSpy notes(&controller, &Controller::note);
    controller.handleLine("SAVE P");
    QCOMPARE(notes.size(), 1);
    QVERIFY(notes.at(0).at(0).toString().startsWith(QStringLiteral("無法儲存程式")));
}

void TestSimController::savedProgram_loadsNoMoreThanADownload_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("lines"); // -1: refused
    const QByteArray line = "OUTP 1;\r\n";
    QTest::newRow("longest program") << line.repeated(Program::kMaxLines) << Program::kMaxLines;
    QTest::newRow("one line more") << line.repeated(Program::kMaxLines + 1) << -1;
    QTest::newRow("widest line") << QByteArray(LineReader::kMaxLine, 'A') + "\r\n" << 1;
    QTest::newRow("one byte wider") << QByteArray(LineReader::kMaxLine + 1, 'A') + "\r\n" << -1;
    QTest::newRow("one byte wider, no line end") << QByteArray(LineReader::kMaxLine + 1, 'A') << -1;
}

void TestSimController::savedProgram_loadsNoMoreThanADownload()
{
    QFETCH(QByteArray, content);
    QFETCH(int, lines);
    QFile file(storePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QString error;
    QCOMPARE(m_controller->powerUp(&error), lines >= 0);
    QCOMPARE(m_controller->program().size(), std::max(lines, 0));
    QCOMPARE(error.isEmpty(), lines >= 0);
}

void TestSimController::session_echoAndDelayKeepLineOrder_data()
{
    QTest::addColumn<bool>("echo");
    QTest::addColumn<int>("delay");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("garbage");
    QTest::addColumn<QByteArray>("atOnce");
    QTest::addColumn<QByteArray>("later");

    // Every row receives "?VA", "SET P1", "?INP" at once.
    QTest::newRow("plain") << false << 0 << false << false << QByteArray("2000\r0\r") << QByteArray();
    QTest::newRow("echo") << true << 0 << false << false << QByteArray("?VA\r2000\rSET P1\r?INP\r0\r") << QByteArray();
    QTest::newRow("delay") << false << 30 << false << false << QByteArray() << QByteArray("2000\r0\r");
    QTest::newRow("echo and delay") << true << 30 << false << false << QByteArray("?VA\r")
                                    << QByteArray("2000\rSET P1\r?INP\r0\r");
    QTest::newRow("silent") << true << 0 << true << false << QByteArray() << QByteArray();
    QTest::newRow("garbage") << false << 0 << false << true << LineSession::junk() + "\r" + LineSession::junk() + "\r"
                             << QByteArray();
}

void TestSimController::session_echoAndDelayKeepLineOrder()
{
    QFETCH(bool, echo);
    QFETCH(int, delay);
    QFETCH(bool, silent);
    QFETCH(bool, garbage);
    QFETCH(QByteArray, atOnce);
    QFETCH(QByteArray, later);
    ManualClock line;
    LineBehaviour behaviour;
    behaviour.echo = echo;
    behaviour.replyDelayMs = delay;
    behaviour.silent = silent;
    behaviour.garbage = garbage;
    LineSession session(*m_controller, line, behaviour);
    QSignalSpy sent(&session, &LineSession::sent);
    session.receive("?VA\rSET P1\r?INP\r");
    QCOMPARE(session.takeDue(), atOnce);
    line.advance(delay - 1);
    QCOMPARE(session.takeDue(), QByteArray());
    line.advance(1);
    QCOMPARE(session.takeDue(), later);
    QVERIFY(!session.hasPending());
    QCOMPARE(sent.size(), int(!atOnce.isEmpty()) + int(!later.isEmpty()));
    QCOMPARE(int(m_controller->machine().outputs), 1); // commands act whatever is said
}

void TestSimController::session_heldRepliesStayBounded_data()
{
    QTest::addColumn<bool>("echo");
    QTest::addColumn<int>("delay");
    QTest::newRow("held 5 s") << false << 5000;
    QTest::newRow("echoed and held") << true << 5000;
    QTest::newRow("not held, never taken") << false << 0;
}

void TestSimController::session_heldRepliesStayBounded()
{
    QFETCH(bool, echo);
    QFETCH(int, delay);
    ManualClock line;
    LineBehaviour behaviour;
    behaviour.echo = echo;
    behaviour.replyDelayMs = delay;
    LineSession session(*m_controller, line, behaviour);
    // A query stream far beyond the 64 KiB the line may owe: held or unread, the
    // replies must not pile up.
    for (int i = 0; i < 100; ++i)
        session.receive(QByteArray("?VM\r").repeated(1000));
    QVERIFY2(session.unsentBytes() <= 64 * 1024 + 16, qPrintable(QString::number(session.unsentBytes())));
    line.advance(delay);
    const QByteArray due = session.takeDue();
    QVERIFY(due.startsWith(echo ? "?VM\r100\r" : "100\r100\r")); // the oldest are kept, in order
    QCOMPARE(session.unsentBytes(), 0);
}

void TestSimController::session_escapeClearsPartialLine()
{
    LineSession session(*m_controller, m_clock, LineBehaviour());
    QSignalSpy lines(&session, &LineSession::lineReceived);
    QSignalSpy escapes(&session, &LineSession::escapeReceived);
    session.receive("SET P");
    session.receive("\x1b"
                    "SET P2\r\n?IN");
    session.receive("P\r");
    QCOMPARE(escapes.size(), 1);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).at(0).toByteArray(), QByteArray("SET P2"));
    QCOMPARE(lines.at(1).at(0).toByteArray(), QByteArray("?INP"));
    QCOMPARE(session.takeDue(), QByteArray("0\r"));
    QCOMPARE(int(m_controller->machine().outputs), 2);
    QCOMPARE(session.bytesReceived(), 19);
}

void TestSimController::control_repliesOneLineEach_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("reply");
    auto row = [](const char *tag, const char *command, const char *reply) {
        QTest::newRow(tag) << QString::fromUtf8(command) << QString::fromUtf8(reply);
    };

    row("pos", "pos", "pos 0 0");
    row("inputs", "inputs", "inputs 0");
    row("outputs", "outputs", "outputs 0");
    row("mode", "mode", "mode HON");
    row("speed", "speed", "speed 100");
    row("accel", "accel", "accel 2000");
    row("state", "state", "state idle");
    row("program", "program", "program 0");
    row("events", "events", "events");
    row("timed events", "events timed", "events");
    row("received", "received", "received 0 0");
    row("unknown", "unknown", "unknown 0");
    row("outgoing", "outgoing", "outgoing 0");
    row("blast", "blast 10", "ok");
    row("blast beyond its bound", "blast 8388609", "error usage: blast BYTES with BYTES from 1 to 8388608");
    row("blast of nothing", "blast 0", "error usage: blast BYTES with BYTES from 1 to 8388608");
    row("blanks", "  pos   ", "pos 0 0");
    row("no such line", "line 0", "error no line 0 in the program");
    row("bad input", "input 17 on", "error usage: input N on|off with N from 1 to 16");
    row("bad switch", "input 3 up", "error usage: input N on|off with N from 1 to 16");
    row("bad word", "inputs 65536", "error usage: inputs WORD with WORD from 0 to 65535");
    row("bad jog", "jog z 1", "error usage: jog x|y MM");
    row("jog held", "jog x 1", "error hand-held: the axes are held (HON); the station sends HOFF to free them");
    row("nonsense", "fly away", "error unknown command: fly away");
    row("extra argument", "pos 1", "error unknown command: pos 1");
    row("quit", "quit", "bye");
}

void TestSimController::control_repliesOneLineEach()
{
    QFETCH(QString, command);
    QFETCH(QString, reply);
    LineSession session(*m_controller, m_clock, LineBehaviour());
    ControlChannel control(*m_controller, session);
    QCOMPARE(control.execute(command), reply);
    QCOMPARE(control.quitRequested(), command == QLatin1String("quit"));
}

void TestSimController::control_inputsJogAndState()
{
    LineSession session(*m_controller, m_clock, LineBehaviour());
    ControlChannel control(*m_controller, session);
    QCOMPARE(control.execute("input 3 on"), "ok");
    QCOMPARE(control.execute("input 16 on"), "ok");
    QCOMPARE(control.execute("inputs"), "inputs 32772");
    session.receive("?INP\r");
    QCOMPARE(session.takeDue(), QByteArray("32772\r"));
    QCOMPARE(control.execute("input 3 off"), "ok");
    QCOMPARE(control.execute("inputs 5"), "ok");
    QCOMPARE(control.execute("inputs"), "inputs 5");

    session.receive("HOFF\rSET P2\rSET P5\r");
    QCOMPARE(control.execute("outputs"), "outputs 18");
    QCOMPARE(control.execute("mode"), "mode HOFF");
    QCOMPARE(control.execute("jog x 12.5"), "ok");
    QCOMPARE(control.execute("jog y -3"), "ok");
    QCOMPARE(control.execute("jog x 0.25"), "ok");
    QCOMPARE(control.execute("pos"), "pos 12.75 -3");
    session.receive("?PEX\r?PEY\r");
    QCOMPARE(session.takeDue(), QByteArray("12.75\r-3\r"));
    session.receive("XMA 100\r");
    QCOMPARE(control.execute("jog x 1"), "error moving: the axis is moving");

    session.receive(downloadBytes({"{", "WI 7;", "WT 250;", "FOO;", "}"}) + "G\r");
    QCOMPARE(control.execute("program"), "program 5");
    QCOMPARE(control.execute("line 3"), "line 3 FOO;");
    QCOMPARE(control.execute("state"), "state running line 1 wait input 7");
    QCOMPARE(control.execute("input 7 on"), "ok");
    QCOMPARE(control.execute("state"), "state running line 2 wait time 250");
    m_clock.advance(100);
    QCOMPARE(control.execute("state"), "state running line 2 wait time 150");
    m_clock.advance(150);
    QCOMPARE(control.execute("state"),
             "state error unknown-statement line 3 第 3 行「FOO;」: 無法辨識的指令 (無法辨識的指令「FOO」)");
    QCOMPARE(control.execute("count 1"), "count 1 1");
    QCOMPARE(control.execute("count 4"), "count 4 0");
    QCOMPARE(control.execute("events"), "events start; input 7; error unknown-statement line 3");
    QCOMPARE(control.execute("events"), "events");
    QCOMPARE(control.execute("unknown"), "unknown 0");
    session.receive("BOGUS\r");
    QCOMPARE(control.execute("unknown"), "unknown 1 BOGUS");

    // A blast waits like any reply until the line takes it, and holds no digit or CR
    // that a reader could take for an answer.
    QCOMPARE(control.execute("blast 10"), "ok");
    QCOMPARE(control.execute("outgoing"), "outgoing 10");
    QCOMPARE(session.takeDue(), QByteArray("#?!ERR~#?!"));
    session.setDeviceBacklog(3);
    QCOMPARE(control.execute("outgoing"), "outgoing 3");
}

QTEST_GUILESS_MAIN(TestSimController)
#include "tst_simcontroller.moc"

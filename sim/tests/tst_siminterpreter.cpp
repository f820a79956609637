// The program interpreter: every statement the station's compiler emits, loops,
// jumps, waits on the machine clock, and errors that stop the program.
#include "simtestutil.h"

#include "sim/engine/statement.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using namespace talvex;
using namespace talvex::sim;
using namespace talvex::sim::testing;

class TestSimInterpreter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseStatement_readsEveryStatement_data();
    void parseStatement_readsEveryStatement();
    void parseStatement_refusesMalformed_data();
    void parseStatement_refusesMalformed();

    void statement_effectOnMachine_data();
    void statement_effectOnMachine();
    void variables_assignAndClear_data();
    void variables_assignAndClear();
    void loops_runTheirCount_data();
    void loops_runTheirCount();
    void jumps_followLabelsInOrder();
    void chineseLabel_jumpsByBig5Name();
    void endlessProgram_givesWayEachAdvance();

    void waitInput_holdsUntilInputOn();
    void waitInput_twoInputsInTheirOrder();
    void waitTime_endsOnProgramClock_data();
    void waitTime_endsOnProgramClock();
    void waitMotion_lastsTrapezoid_data();
    void waitMotion_lastsTrapezoid();
    void workedExample_eventsAndCounts();

    void errors_stopWithFaultAndLine_data();
    void errors_stopWithFaultAndLine();
    void error_haltsMotionAndStaysVisible();
    void stop_endsProgramAndHaltsAxes();
    void garbagePrograms_neverCrash();
};

void TestSimInterpreter::parseStatement_readsEveryStatement_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("op");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("target");

    auto row = [](const char *tag, const QString &line, Op op, double number = 0, const QString &name = {},
                  const QString &target = {}) {
        QTest::newRow(tag) << line << static_cast<int>(op) << number << name << target;
    };
    row("open", "{", Op::Begin);
    row("close", "}", Op::End);
    row("blank", "   ", Op::Nothing);
    row("clear", "CLR VAR;", Op::ClearVars);
    row("accel", "VA 2000;", Op::SetAccel, 2000);
    row("accel fraction", "VA 12.5;", Op::SetAccel, 12.5);
    row("declare in", "SI #IN;", Op::Declare, 0, "#IN");
    row("declare loop", "SI #L12;", Op::Declare, 0, "#L12");
    row("entry label", "$MAIN:;", Op::Label, 0, "MAIN");
    row("label with spaces", "$my label :;", Op::Label, 0, "my label ");
    row("chinese label", "$起點:;", Op::Label, 0, "起點");
    row("jump", "JP $END;", Op::Jump, 0, {}, "END");
    row("jump keeps spaces", "JP $my label ;", Op::Jump, 0, {}, "my label ");
    row("load counter", "#L1=3;", Op::Assign, 0, "#L1");
    row("decrement", "#L1=#L1-1;", Op::Assign, 0, "#L1");
    row("jump not zero", "JNZ #L1,$LOOP1;", Op::JumpNotZero, 0, "#L1", "LOOP1");
    row("wait input 1", "WI 1;", Op::WaitInput, 1);
    row("wait input 16", "WI 16;", Op::WaitInput, 16);
    row("move x", "XMA 100;", Op::MoveX, 100);
    row("move y negative", "YMA -12.5;", Op::MoveY, -12.5);
    row("done", "DN;", Op::WaitMotion);
    row("outputs", "OUTP 255;", Op::Outputs, 255);
    row("speed", "VM=50;", Op::SetSpeed, 50);
    row("home x", "XH;", Op::HomeX);
    row("home y", "YH;", Op::HomeY);
    row("wait time", "WT 1000;", Op::WaitTime, 1000);
    row("wait zero", "WT 0;", Op::WaitTime, 0);
    row("blanks around", "  XMA 1;  ", Op::MoveX, 1);
}

void TestSimInterpreter::parseStatement_readsEveryStatement()
{
    QFETCH(QString, line);
    QFETCH(int, op);
    QFETCH(double, number);
    QFETCH(QString, name);
    QFETCH(QString, target);
    const Statement s = parseStatement(line);
    QCOMPARE(s.fault, Fault::None);
    QCOMPARE(static_cast<int>(s.op), op);
    QCOMPARE(s.number, number);
    QCOMPARE(s.name, name);
    QCOMPARE(s.target, target);
}

void TestSimInterpreter::parseStatement_refusesMalformed_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("code");
    auto row = [](const char *tag, const char *line, const char *code) { QTest::newRow(tag) << line << code; };

    row("missing semicolon", "XMA 100", "syntax");
    row("speed without =", "VM 50;", "syntax");
    row("done with argument", "DN 5;", "syntax");
    row("jump without $", "JP END;", "syntax");
    row("negative loop name", "#L-1=#L-1-1;", "syntax");
    row("declare without #", "SI IN;", "syntax");
    row("clear what", "CLR ALL;", "syntax");
    row("empty label", "$:;", "syntax");
    row("jnz without comma", "JNZ #L1 $A;", "syntax");
    row("empty accel", "VA ;", "bad-number");
    row("zero speed", "VM=0;", "bad-number");
    row("input 0", "WI 0;", "bad-number");
    row("input 17", "WI 17;", "bad-number");
    row("input fraction", "WI 1.5;", "bad-number");
    row("outputs 256", "OUTP 256;", "bad-number");
    row("letters", "XMA abc;", "bad-number");
    row("exponent", "XMA 1e3;", "bad-number");
    row("negative wait", "WT -1;", "bad-number");
    row("count as letters", "#L1=abc;", "bad-number");
    row("empty count", "#L1=;", "bad-number");
    row("two numbers", "#L1=3 4;", "bad-number");
    row("unknown word", "FOO;", "unknown-statement");
    row("lower case", "xma 100;", "unknown-statement");
    row("punctuation", "!!;", "unknown-statement");
}

void TestSimInterpreter::parseStatement_refusesMalformed()
{
    QFETCH(QString, line);
    QFETCH(QString, code);
    const Statement s = parseStatement(line);
    QCOMPARE(s.op, Op::Invalid);
    QCOMPARE(faultCode(s.fault), code);
    QVERIFY(!s.detail.isEmpty());
}

void TestSimInterpreter::statement_effectOnMachine_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("outputs");
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("accel");

    const double v = Machine::kDefaultSpeed;
    const double a = Machine::kDefaultAccel;
    QTest::newRow("VA") << QStringList{"VA 500;"} << 0.0 << 0.0 << 0 << v << 500.0;
    QTest::newRow("VM") << QStringList{"VM=25;"} << 0.0 << 0.0 << 0 << 25.0 << a;
    QTest::newRow("OUTP") << QStringList{"OUTP 5;"} << 0.0 << 0.0 << 5 << v << a;
    QTest::newRow("OUTP writes the whole word") << QStringList{"OUTP 3;", "OUTP 4;"} << 0.0 << 0.0 << 4 << v << a;
    QTest::newRow("XMA YMA DN") << QStringList{"XMA 10;", "YMA 20;", "DN;"} << 10.0 << 20.0 << 0 << v << a;
    QTest::newRow("XMA alone") << QStringList{"XMA -7.5;", "DN;"} << -7.5 << 0.0 << 0 << v << a;
    QTest::newRow("XH YH") << QStringList{"XMA 10;", "YMA 20;", "DN;", "XH;", "YH;", "DN;"} << 0.0 << 0.0 << 0 << v
                           << a;
    QTest::newRow("XH only") << QStringList{"XMA 10;", "YMA 20;", "DN;", "XH;", "DN;"} << 0.0 << 20.0 << 0 << v << a;
    QTest::newRow("braces") << QStringList{"{", "OUTP 1;", "}", "OUTP 2;"} << 0.0 << 0.0 << 1 << v << a;
    QTest::newRow("label is no-op") << QStringList{"$A:;", "OUTP 9;"} << 0.0 << 0.0 << 9 << v << a;
    QTest::newRow("jump skips") << QStringList{"JP $SKIP;", "OUTP 1;", "$SKIP:;", "OUTP 2;"} << 0.0 << 0.0 << 2 << v
                                << a;
    QTest::newRow("declarations") << QStringList{"CLR VAR;", "SI #IN;", "SI #OUT;", "OUTP 6;"} << 0.0 << 0.0 << 6 << v
                                  << a;
}

void TestSimInterpreter::statement_effectOnMachine()
{
    QFETCH(QStringList, lines);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, outputs);
    QFETCH(double, speed);
    QFETCH(double, accel);
    ManualClock clock;
    Machine machine;
    Interpreter run(machine);
    run.start(programOf(lines), clock.nowMs());
    runFor(run, clock, 60000.0, 10.0);
    QCOMPARE(run.state(), Interpreter::State::Idle);
    QCOMPARE(machine.x.position(clock.nowMs()), x);
    QCOMPARE(machine.y.position(clock.nowMs()), y);
    QCOMPARE(int(machine.outputs), outputs);
    QCOMPARE(machine.speed, speed);
    QCOMPARE(machine.accel, accel);
}

void TestSimInterpreter::variables_assignAndClear_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<bool>("declared");
    QTest::addColumn<double>("value");

    QTest::newRow("declared is zero") << QStringList{"SI #A;"} << "#A" << true << 0.0;
    QTest::newRow("load") << QStringList{"SI #A;", "#A=7;"} << "#A" << true << 7.0;
    QTest::newRow("decrement") << QStringList{"SI #A;", "#A=7;", "#A=#A-1;"} << "#A" << true << 6.0;
    QTest::newRow("terms") << QStringList{"SI #A;", "SI #B;", "#A=2;", "#B=#A+3-1;"} << "#B" << true << 4.0;
    QTest::newRow("negative") << QStringList{"SI #A;", "#A=-2.5;"} << "#A" << true << -2.5;
    QTest::newRow("clear forgets") << QStringList{"SI #A;", "#A=1;", "CLR VAR;"} << "#A" << false << 0.0;
    QTest::newRow("redeclare resets") << QStringList{"SI #A;", "#A=4;", "SI #A;"} << "#A" << true << 0.0;
}

void TestSimInterpreter::variables_assignAndClear()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, variable);
    QFETCH(bool, declared);
    QFETCH(double, value);
    Machine machine;
    Interpreter run(machine);
    run.start(programOf(lines), 0);
    run.advance(0);
    QCOMPARE(run.state(), Interpreter::State::Idle);
    QCOMPARE(run.hasVariable(variable), declared);
    QCOMPARE(run.variable(variable), value);
}

void TestSimInterpreter::loops_runTheirCount_data()
{
    // Programs laid out as the compiler lays out its loops: head "#Lk=n;" "$LOOPk:;",
    // foot "#Lk=#Lk-1;" "JNZ #Lk,$LOOPk;". "OUTP" lines mark the bodies.
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("markers");
    QTest::addColumn<QList<int>>("counts");

    const QStringList prologue{"{", "CLR VAR;", "SI #IN;", "SI #OUT;", "SI #L1;", "SI #L2;", "$MAIN:;"};
    const QStringList epilogue{"JP $END;", "$END:;", "}"};
    const QStringList once =
        prologue + QStringList{"#L1=1;", "$LOOP1:;", "OUTP 1;", "#L1=#L1-1;", "JNZ #L1,$LOOP1;"} + epilogue;
    QTest::newRow("count 1 runs once") << once << QList<int>{9} << QList<int>{1};

    const QStringList sequence = prologue +
                                 QStringList{"#L1=2;", "$LOOP1:;", "OUTP 1;", "#L1=#L1-1;", "JNZ #L1,$LOOP1;",
                                             "#L2=3;", "$LOOP2:;", "OUTP 2;", "#L2=#L2-1;", "JNZ #L2,$LOOP2;"} +
                                 epilogue;
    QTest::newRow("in sequence 2 then 3") << sequence << QList<int>{9, 14} << QList<int>{2, 3};

    const QStringList nested =
        prologue + QStringList{"#L1=2;",  "$LOOP1:;",   "OUTP 1;",         "#L2=3;",     "$LOOP2:;",
                               "OUTP 2;", "#L2=#L2-1;", "JNZ #L2,$LOOP2;", "#L1=#L1-1;", "JNZ #L1,$LOOP1;"} +
        epilogue;
    QTest::newRow("nested 2 x 3") << nested << QList<int>{9, 12} << QList<int>{2, 6};

    const QStringList repeated =
        prologue + QStringList{"#L1=4;",     "$LOOP1:;",        "OUTP 1;",    "#L2=2;",          "$LOOP2:;", "OUTP 2;",
                               "#L2=#L2-1;", "JNZ #L2,$LOOP2;", "#L1=#L1-1;", "JNZ #L1,$LOOP1;", "OUTP 3;"} +
        epilogue;
    QTest::newRow("nested 4 x 2, then after") << repeated << QList<int>{9, 12, 17} << QList<int>{4, 8, 1};
}

void TestSimInterpreter::loops_runTheirCount()
{
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, markers);
    QFETCH(QList<int>, counts);
    Machine machine;
    Interpreter run(machine);
    run.start(programOf(lines), 0);
    run.advance(0);
    QCOMPARE(run.state(), Interpreter::State::Idle);
    for (int i = 0; i < markers.size(); ++i) {
        QVERIFY2(lines.at(markers.at(i)).startsWith("OUTP"), "marker rows point at OUTP lines");
        QCOMPARE(run.count(markers.at(i)), counts.at(i));
    }
    QCOMPARE(run.count(lines.size() - 1), 1); // "}" reached once
}

void TestSimInterpreter::jumps_followLabelsInOrder()
{
    const QStringList lines{"JP $C;", "$A:;", "OUTP 1;", "JP $END;", "$C:;", "OUTP 2;", "JP $A;", "$END:;"};
    Machine machine;
    Interpreter run(machine);
    run.start(programOf(lines), 0);
    run.advance(0);
    QCOMPARE(run.state(), Interpreter::State::Idle);
    const std::deque<int> expected{0, 4, 5, 6, 1, 2, 3, 7};
    QCOMPARE(run.trace(), expected);
    QCOMPARE(int(machine.outputs), 1);
}

void TestSimInterpreter::chineseLabel_jumpsByBig5Name()
{
    const QStringList lines{"JP $終點;", "OUTP 1;", "$終點:;", "OUTP 2;"};
    const Program program = programOf(lines);
    QCOMPARE(program.rawLines().at(0), QByteArray("JP $\xb2\xd7\xc2\x49;"));
    Machine machine;
    Interpreter run(machine);
    run.start(program, 0);
    run.advance(0);
    QCOMPARE(run.state(), Interpreter::State::Idle);
    QCOMPARE(int(machine.outputs), 2);
    QCOMPARE(run.count(1), 0);
}

void TestSimInterpreter::endlessProgram_givesWayEachAdvance()
{
    Machine machine;
    Interpreter run(machine);
    run.start(programOf({"$MAIN:;", "OUTP 1;", "JP $MAIN;"}), 0);
    run.advance(0);
    QVERIFY(run.running());
    const int first = run.count(1);
    // Three statements a round: the budget of one advance buys a third of it in rounds.
    QCOMPARE(first, (Interpreter::kStatementsPerAdvance + 2) / 3);
    run.advance(1);
    QCOMPARE(run.count(1), first + Interpreter::kStatementsPerAdvance / 3);
}

void TestSimInterpreter::waitInput_holdsUntilInputOn()
{
    ManualClock clock;
    Machine machine;
    Interpreter run(machine);
    run.start(programOf({"OUTP 2;", "WI 3;", "OUTP 1;"}), 0);
    runFor(run, clock, 5000);
    QVERIFY(run.running());
    QCOMPARE(run.line(), 1);
    QCOMPARE(run.wait(), Interpreter::Wait::Input);
    QCOMPARE(run.waitInput(), 3);
    QCOMPARE(int(machine.outputs), 2);

    machine.setInput(2, true); // the wrong input changes nothing
    machine.setInput(4, true);
    run.advance(clock.nowMs());
    QVERIFY(run.running());
    machine.setInput(3, true);
    run.advance(clock.nowMs());
    QCOMPARE(run.state(), Interpreter::State::Idle);
    QCOMPARE(int(machine.outputs), 1);
    QCOMPARE(run.count(1), 1);
}

void TestSimInterpreter::waitInput_twoInputsInTheirOrder()
{
    Machine machine;
    Interpreter run(machine);
    run.start(programOf({"WI 3;", "WI 1;", "OUTP 1;"}), 0);
    machine.setInput(1, true);
    run.advance(10);
    QCOMPARE(run.line(), 0); // input 1 on is not enough: input 3 comes first
    machine.setInput(3, true);
    run.advance(20);
    QCOMPARE(run.state(), Interpreter::State::Idle);
    QCOMPARE(run.takeEvents(), (QStringList{"start", "input 3", "input 1", "outputs 1", "end"}));

    // Inputs already on: the waits pass without time passing.
    run.start(programOf({"WI 3;", "WI 1;", "WT 100;", "OUTP 2;"}), 100);
    run.advance(199.9);
    QCOMPARE(run.wait(), Interpreter::Wait::Time);
    run.advance(200);
    QCOMPARE(int(machine.outputs), 2);
}

void TestSimInterpreter::waitTime_endsOnProgramClock_data()
{
    QTest::addColumn<double>("step");
    QTest::newRow("1 ms ticks") << 1.0;
    QTest::newRow("7 ms ticks") << 7.0;
    QTest::newRow("333 ms ticks") << 333.0;
}

void TestSimInterpreter::waitTime_endsOnProgramClock()
{
    // Two waits back to back: the second starts when the first was due, not when the
    // tick noticed it, so it always ends 1500 ms after the start.
    QFETCH(double, step);
    ManualClock clock;
    clock.set(1000);
    Machine machine;
    Interpreter run(machine);
    run.start(programOf({"WT 1000;", "OUTP 1;", "WT 500;", "OUTP 2;"}), clock.nowMs());
    while (clock.nowMs() + step < 2000) {
        clock.advance(step);
        run.advance(clock.nowMs());
    }
    QCOMPARE(int(machine.outputs), 0);
    clock.set(2000);
    run.advance(clock.nowMs());
    QCOMPARE(int(machine.outputs), 1);
    QCOMPARE(run.wait(), Interpreter::Wait::Time);
    QCOMPARE(run.waitUntil(), 2500.0);
    clock.set(2001);
    run.advance(clock.nowMs());
    clock.set(2499.5);
    run.advance(clock.nowMs());
    QCOMPARE(int(machine.outputs), 1);
    clock.set(2500);
    run.advance(clock.nowMs());
    QCOMPARE(int(machine.outputs), 2);
    QCOMPARE(run.state(), Interpreter::State::Idle);
    // Each event carries the moment it was due, not the tick that noticed it.
    QStringList timed;
    for (const ProgramEvent &e : run.takeTimedEvents())
        timed << QStringLiteral("%1 %2").arg(e.ms).arg(e.text);
    QCOMPARE(timed, (QStringList{"1000 start", "2000 outputs 1", "2500 outputs 2", "2500 end"}));
}

void TestSimInterpreter::waitMotion_lastsTrapezoid_data()
{
    // Duration of a move of d at speed v, acceleration a: 2v/a + (d - v²/a)/v when it
    // reaches full speed, 2·sqrt(d/a) when it does not.
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<double>("durationMs");

    QTest::newRow("X 100 at 50, 2000") << QStringList{"VM=50;", "VA 2000;", "XMA 100;", "DN;"} << 2025.0;
    QTest::newRow("X 100 Y 200: the longer")
        << QStringList{"VM=50;", "VA 2000;", "XMA 100;", "YMA 200;", "DN;"} << 4025.0;
    QTest::newRow("triangle 1 mm") << QStringList{"VM=100;", "VA 100;", "XMA 1;", "DN;"} << 200.0;
    QTest::newRow("backwards") << QStringList{"VM=100;", "VA 1000;", "XMA -300;", "DN;"} << 3100.0;
    QTest::newRow("no distance") << QStringList{"XMA 0;", "YMA 0;", "DN;"} << 0.0;
    QTest::newRow("home from 0") << QStringList{"XH;", "YH;", "DN;"} << 0.0;
}

void TestSimInterpreter::waitMotion_lastsTrapezoid()
{
    QFETCH(QStringList, lines);
    QFETCH(double, durationMs);
    lines << "OUTP 1;";
    Machine machine;
    Interpreter run(machine);
    run.start(programOf(lines), 0);
    if (durationMs > 0) {
        run.advance(durationMs - 0.5);
        QCOMPARE(int(machine.outputs), 0);
        QVERIFY(machine.moving(durationMs - 0.5));
    }
    run.advance(durationMs + 1e-6);
    QCOMPARE(int(machine.outputs), 1);
    QVERIFY(!machine.moving(durationMs + 1e-6));
}

void TestSimInterpreter::workedExample_eventsAndCounts()
{
    ManualClock clock;
    Machine machine;
    Interpreter run(machine);
    const QStringList lines = workedExample();
    run.start(programOf(lines), 0);
    runFor(run, clock, 1000);
    QCOMPARE(run.line(), 10);
    QCOMPARE(run.waitInput(), 3);
    QCOMPARE(machine.accel, 2000.0);
    QCOMPARE(machine.speed, 50.0);
    QVERIFY(run.hasVariable("#IN") && run.hasVariable("#OUT"));
    QCOMPARE(run.variable("#L1"), 3.0);

    machine.setInput(3, true);
    machine.setInput(1, true);
    clock.advance(5);
    run.advance(clock.nowMs());
    // Moving to (100, 200) at 50 mm/s: X arrives after 2.025 s, Y after 4.025 s, and
    // Y decides the group's end. 2.1 s in, Y has done 0.625 + 50 * 2.075 mm.
    clock.advance(2100);
    run.advance(clock.nowMs());
    QCOMPARE(run.line(), 14);
    QCOMPARE(machine.x.position(clock.nowMs()), 100.0);
    QCOMPARE(machine.y.position(clock.nowMs()), 104.375);
    clock.advance(2000);
    run.advance(clock.nowMs());
    QCOMPARE(run.line(), 16);
    QCOMPARE(int(machine.outputs), 1);

    runFor(run, clock, 20000);
    QCOMPARE(run.state(), Interpreter::State::Idle);
    const QString point = QStringLiteral("input 3|input 1|done 100 200|outputs 1");
    const QStringList expected =
        (QStringLiteral("start|") + point + "|" + point + "|" + point + "|done 0 0|end").split('|');
    QCOMPARE(run.takeEvents(), expected);
    QCOMPARE(run.count(12), 3);
    QCOMPARE(run.count(16), 3);
    QCOMPARE(run.count(19), 1);
    QCOMPARE(run.count(8), 1);
    QCOMPARE(run.variable("#L1"), 0.0);
    QCOMPARE(machine.x.position(clock.nowMs()), 0.0);
    QCOMPARE(machine.y.position(clock.nowMs()), 0.0);
}

void TestSimInterpreter::errors_stopWithFaultAndLine_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("outputs");

    QTest::newRow("unknown label") << QStringList{"OUTP 1;", "JP $NOWHERE;", "OUTP 2;"} << "unknown-label" << 1 << 1;
    QTest::newRow("jnz to unknown label") << QStringList{"SI #A;", "#A=1;", "JNZ #A,$B;"} << "unknown-label" << 2 << 0;
    QTest::newRow("duplicate label") << QStringList{"$A:;", "$A:;", "JP $A;"} << "duplicate-label" << 2 << 0;
    QTest::newRow("bad number") << QStringList{"OUTP 1;", "XMA abc;", "OUTP 2;"} << "bad-number" << 1 << 1;
    QTest::newRow("empty acceleration") << QStringList{"{", "CLR VAR;", "VA ;", "}"} << "bad-number" << 2 << 0;
    QTest::newRow("loop count as letters") << QStringList{"SI #L1;", "#L1=abc;"} << "bad-number" << 1 << 0;
    QTest::newRow("unknown statement") << QStringList{"OUTP 4;", "FOO;"} << "unknown-statement" << 1 << 4;
    QTest::newRow("missing semicolon") << QStringList{"XMA 100"} << "syntax" << 0 << 0;
    QTest::newRow("undeclared assign") << QStringList{"#L1=3;"} << "undeclared-variable" << 0 << 0;
    QTest::newRow("undeclared read") << QStringList{"SI #A;", "#A=#B-1;"} << "undeclared-variable" << 1 << 0;
    QTest::newRow("undeclared test") << QStringList{"JNZ #L9,$A;", "$A:;"} << "undeclared-variable" << 0 << 0;
    QTest::newRow("loop foot before head")
        << QStringList{"{", "CLR VAR;", "SI #IN;", "SI #OUT;", "$MAIN:;", "#L-1=#L-1-1;", "JNZ #L-1,$LOOP-1;", "}"}
        << "syntax" << 5 << 0;
    QTest::newRow("no program") << QStringList{} << "no-program" << -1 << 0;
}

void TestSimInterpreter::errors_stopWithFaultAndLine()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, code);
    QFETCH(int, line);
    QFETCH(int, outputs);
    Machine machine;
    Interpreter run(machine);
    run.start(programOf(lines), 0);
    run.advance(0);
    QCOMPARE(run.state(), Interpreter::State::Failed);
    QCOMPARE(faultCode(run.error().fault), code);
    QCOMPARE(run.error().line, line);
    QCOMPARE(int(machine.outputs), outputs);
    QVERIFY(!run.error().describe().isEmpty());
    if (line >= 0) {
        QCOMPARE(run.line(), line);
        QVERIFY(run.error().describe().contains(lines.at(line)));
        QCOMPARE(run.takeEvents().constLast(), QStringLiteral("error %1 line %2").arg(code).arg(line));
    }
    // Nothing more happens, however long it is driven.
    run.advance(100000);
    QCOMPARE(run.state(), Interpreter::State::Failed);
    QCOMPARE(int(machine.outputs), outputs);
}

void TestSimInterpreter::error_haltsMotionAndStaysVisible()
{
    Machine machine;
    Interpreter run(machine);
    run.start(programOf({"VM=10;", "XMA 100;", "WT 1000;", "FOO;"}), 0);
    run.advance(999);
    QVERIFY(run.running());
    run.advance(1000);
    QCOMPARE(run.state(), Interpreter::State::Failed);
    // 5 ms of ramp at 2000 mm/s², then 995 ms at 10 mm/s: 0.025 + 9.95 mm.
    QCOMPARE(machine.x.position(1000), 9.975);
    QVERIFY(!machine.moving(1000));
    QCOMPARE(machine.x.position(5000), 9.975);
    QCOMPARE(run.error().describe(), QStringLiteral("第 3 行「FOO;」: 無法辨識的指令 (無法辨識的指令「FOO」)"));
}

void TestSimInterpreter::stop_endsProgramAndHaltsAxes()
{
    Machine machine;
    Interpreter run(machine);
    run.start(programOf({"VM=10;", "XMA 100;", "DN;", "OUTP 1;"}), 0);
    run.advance(500);
    QCOMPARE(run.wait(), Interpreter::Wait::Motion);
    run.stop(500);
    QCOMPARE(run.state(), Interpreter::State::Idle);
    QCOMPARE(run.line(), -1);
    const double x = machine.x.position(500);
    QVERIFY(x > 4 && x < 5);
    run.advance(20000);
    QCOMPARE(machine.x.position(20000), x);
    QCOMPARE(int(machine.outputs), 0);
    QCOMPARE(run.takeEvents().constLast(), QStringLiteral("stop"));
}

void TestSimInterpreter::garbagePrograms_neverCrash()
{
    // Random bytes, and random mixes of real statements with damaged ones: the
    // interpreter ends idle, failed or still running, and never leaves the program.
    QRandomGenerator random(20240601);
    const QStringList pieces{"XMA ",        "YMA ",  "WI ", "WT ", "JP $", "JNZ #L1,$", "#L1=", "$",
                             "SI #L",       "OUTP ", "VM=", "VA ", ";",    ":",         "-",    "1",
                             "99999999999", ".",     " ",   "#L1", "DN;",  "}",         "{"};
    for (int round = 0; round < 400; ++round) {
        QList<QByteArray> lines;
        const int count = random.bounded(1, 20);
        for (int i = 0; i < count; ++i) {
            QByteArray line;
            if (round % 2 == 0) {
                for (int b = random.bounded(0, 12); b > 0; --b)
                    line.append(static_cast<char>(random.bounded(1, 256)));
            } else {
                for (int p = random.bounded(1, 5); p > 0; --p)
                    line += pieces.at(random.bounded(pieces.size())).toLatin1();
            }
            lines << line;
        }
        Machine machine;
        Interpreter run(machine);
        run.start(Program(lines), 0);
        for (int t = 0; t <= 10; ++t)
            run.advance(t * 1000.0);
        if (run.state() != Interpreter::State::Idle)
            QVERIFY(run.line() >= 0 && run.line() < count);
    }
}

QTEST_GUILESS_MAIN(TestSimInterpreter)
#include "tst_siminterpreter.moc"

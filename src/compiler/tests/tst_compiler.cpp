#include "compiler/compiler.h"
#include "testing/filekinds.h"
#include "testing/scriptedoperator.h"
#include "testing/stepbuilder.h"
#include "testing/workedexample.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace talvex;
using namespace talvex::testing;

Q_DECLARE_METATYPE(talvex::CompileStatus)

namespace {

CompileResult compileRows(const QStringList &rows, CompiledProgram &program, const CompileOptions &options = {})
{
    return compileTable(tableOf(rows), static_cast<int>(rows.size()), options, program);
}

QStringList linesOf(const CompiledProgram &program)
{
    QStringList lines;
    for (int i = 0; i <= program.ProgramTextLast; ++i)
        lines << program.ProgramText.at(static_cast<size_t>(i));
    return lines;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

const QStringList kAllSixteenWaits = {"WI 16;", "WI 15;", "WI 14;", "WI 13;", "WI 12;", "WI 11;", "WI 10;", "WI 9;",
                                      "WI 8;",  "WI 7;",  "WI 6;",  "WI 5;",  "WI 4;",  "WI 3;",  "WI 2;",  "WI 1;"};

/// A point with every input and every output: 16 waits, XMA, YMA, DN, OUTP.
const QString kFullPoint = QStringLiteral("POINT|65535|1|2|255");

/// 5 prologue lines, 49 full points (980 lines), a point waiting on inputs 1..10
/// (13 lines) and the 3 epilogue lines: 1001 lines, the most a program may have.
QStringList oneThousandOneLines()
{
    return QStringList(49, kFullPoint) + QStringList{QStringLiteral("POINT|1023|1|2|0")};
}

QStringList loopRows(int loops, int ends)
{
    QStringList rows;
    for (int k = 1; k <= loops; ++k)
        rows << QStringLiteral("LOOP|n%1").arg(k);
    for (int k = 1; k <= ends; ++k)
        rows << QStringLiteral("LOOPEND");
    return rows;
}

/// The lines of a compiled form after "$MAIN:;", each as "TEXT statement @row"
/// followed by " #loop", " $label" and " =argument" where the line has them.
QStringList describeBody(const CompiledForm &form)
{
    const QStringList names = QStringLiteral("begin clear acceleration declare label wait x y homex homey stand "
                                             "outputs speed delay jump startover counter countdown jnz end")
                                  .split(QLatin1Char(' '));
    QStringList lines;
    bool body = false;
    for (const ProgramLine &line : form.lines) {
        if (body) {
            QString text = line.text + QLatin1Char(' ') + names.value(static_cast<int>(line.statement)) +
                           QStringLiteral(" @") + QString::number(line.row);
            if (line.loop != 0)
                text += QStringLiteral(" #") + QString::number(line.loop);
            if (!line.label.isEmpty())
                text += QStringLiteral(" $") + line.label;
            if (!line.argument.isEmpty())
                text += QStringLiteral(" =") + line.argument;
            lines << text;
        }
        body = body || line.label == QLatin1String("MAIN");
    }
    return lines;
}

} // namespace

class TestCompiler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void compileTable_workedExample();
    void compileForm_linesKnowWhatTheyComeFrom_data();
    void compileForm_linesKnowWhatTheyComeFrom();
    void compileForm_refusedTableKeepsItsLines_data();
    void compileForm_refusedTableKeepsItsLines();
    void compileTable_wholeProgram_data();
    void compileTable_wholeProgram();
    void compileTable_rowExpansion_data();
    void compileTable_rowExpansion();
    void compileTable_onlyRowsUpToLastRow_data();
    void compileTable_onlyRowsUpToLastRow();
    void compileTable_refusedLeavesProgram_data();
    void compileTable_refusedLeavesProgram();
    void compileTable_exactlyOneThousandOneLinesAccepted();
    void compileTable_fiftyLoopsAccepted();
    void compileTable_unreadCellsNeedNotBeBig5();
    void compileTable_loopCountsKeptAndFilledByRefusedTable();
    void compileTable_shorterProgramLeavesLeftoversAboveLast();
    void CompileProgram_unpairedLoopsNoticeAndNoListing();
    void CompileProgram_compiledShowsNothing();
    void WriteListing_workedExampleBytesReplaceOldFile();
    void WriteListing_chineseLabelInBig5();
    void WriteListing_unwritablePathFails();
    void WriteListing_neverWritesAReplacementCharacter();
    void WriteListing_plantedNamesLeadNowhere_data();
    void WriteListing_plantedNamesLeadNowhere();
    void listingFilePath_place();
};

void TestCompiler::compileTable_workedExample()
{
    CompiledProgram program;
    const CompileResult result = compileRows(workedExampleRows(), program, workedExampleOptions());
    QCOMPARE(result.status, CompileStatus::Compiled);
    QVERIFY(result.message.isEmpty());
    QCOMPARE(result.row, 0);
    QCOMPARE(program.ProgramTextLast, 24);
    const QStringList lines = linesOf(program);
    for (int i = 0; i < workedExampleLines().size(); ++i)
        QCOMPARE(lines.value(i), workedExampleLines().at(i));
    QCOMPARE(lines.size(), workedExampleLines().size());
    QCOMPARE(program.LoopCounts.at(1), QStringLiteral("3"));
}

void TestCompiler::compileForm_linesKnowWhatTheyComeFrom_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<QStringList>("body"); // and the epilogue

    QTest::newRow("worked example") << workedExampleRows() << false
                                    << QStringList{"VM=50; speed @1 =50",
                                                   "#L1=3; counter @2 #1 =3",
                                                   "$LOOP1:; label @2 #1 $LOOP1",
                                                   "WI 3; wait @3 =3",
                                                   "WI 1; wait @3 =1",
                                                   "XMA 100; x @3 =100",
                                                   "YMA 200; y @3 =200",
                                                   "DN; stand @3",
                                                   "OUTP 1; outputs @3 =1",
                                                   "WT 1000; delay @4 =1000",
                                                   "#L1=#L1-1; countdown @5 #1",
                                                   "JNZ #L1,$LOOP1; jnz @5 #1 $LOOP1",
                                                   "XH; homex @6",
                                                   "YH; homey @6",
                                                   "DN; stand @6",
                                                   "JP $END; jump @0 $END",
                                                   "$END:; label @0 $END",
                                                   "} end @0"};
    QTest::newRow("a jump to MAIN is no cycle's end")
        << QStringList{"LABLE|a b", "GLABLE|MAIN"} << true
        << QStringList{"$a b:; label @1 $a b", "JP $MAIN; jump @2 $MAIN", "JP $MAIN; startover @0 $MAIN", "} end @0"};
    QTest::newRow("a foot before any head closes -1") << QStringList{"LOOPEND", "LOOP|5"} << false
                                                      << QStringList{"#L-1=#L-1-1; countdown @1 #-1",
                                                                     "JNZ #L-1,$LOOP-1; jnz @1 #-1 $LOOP-1",
                                                                     "#L1=5; counter @2 #1 =5",
                                                                     "$LOOP1:; label @2 #1 $LOOP1",
                                                                     "JP $END; jump @0 $END",
                                                                     "$END:; label @0 $END",
                                                                     "} end @0"};
}

void TestCompiler::compileForm_linesKnowWhatTheyComeFrom()
{
    QFETCH(QStringList, rows);
    QFETCH(bool, repeat);
    QFETCH(QStringList, body);

    CompileOptions options = workedExampleOptions();
    options.Repeat = repeat;
    const CompiledForm form = compileForm(tableOf(rows), static_cast<int>(rows.size()), options);
    QCOMPARE(form.verdict.status, CompileStatus::Compiled);
    QCOMPARE(describeBody(form), body);
    QCOMPARE(form.lines.at(2).statement, Statement::SetAcceleration);
    QCOMPARE(form.lines.at(2).argument, QStringLiteral("2000"));
    // The program's text is the form's, line for line.
    CompiledProgram program;
    QCOMPARE(compileRows(rows, program, options).status, CompileStatus::Compiled);
    QStringList texts;
    for (const ProgramLine &line : form.lines)
        texts << line.text;
    QCOMPARE(linesOf(program), texts);
}

void TestCompiler::compileForm_refusedTableKeepsItsLines_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<CompileStatus>("status");
    QTest::addColumn<int>("waits");
    QTest::addColumn<QStringList>("tail"); // the lines before the epilogue

    QTest::newRow("unpaired") << QStringList{"LOOP|2", "WT|1"} << CompileStatus::UnpairedLoops << 0
                              << QStringList{"#L1=2; counter @1 #1 =2", "$LOOP1:; label @1 #1 $LOOP1",
                                             "WT 1; delay @2 =1"};
    QTest::newRow("51 loops") << loopRows(51, 1) << CompileStatus::TooManyLoops << 0
                              << QStringList{"$LOOP51:; label @51 #51 $LOOP51", "#L51=#L51-1; countdown @52 #51",
                                             "JNZ #L51,$LOOP51; jnz @52 #51 $LOOP51"};
    QTest::newRow("not Big5") << QStringList{"LABLE|标", "GLABLE|标"} << CompileStatus::NotBig5 << 0
                              << QStringList{"$标:; label @1 $标", "JP $标; jump @2 $标"};
    // The waits stop at the 1002nd line; the rows after the point are all there.
    QTest::newRow("huge input mask") << QStringList{"POINT|1e9|1|2|0", "LOOP|2", "LOOPEND", "LABLE|A"}
                                     << CompileStatus::TooManyLines << 1002 - 6
                                     << QStringList{"DN; stand @1",
                                                    "#L1=2; counter @2 #1 =2",
                                                    "$LOOP1:; label @2 #1 $LOOP1",
                                                    "#L1=#L1-1; countdown @3 #1",
                                                    "JNZ #L1,$LOOP1; jnz @3 #1 $LOOP1",
                                                    "$A:; label @4 $A"};
}

void TestCompiler::compileForm_refusedTableKeepsItsLines()
{
    QFETCH(QStringList, rows);
    QFETCH(CompileStatus, status);
    QFETCH(int, waits);
    QFETCH(QStringList, tail);

    const CompiledForm form = compileForm(tableOf(rows), static_cast<int>(rows.size()), {});
    QCOMPARE(form.verdict.status, status);
    const auto waitLines = std::count_if(form.lines.begin(), form.lines.end(), [](const ProgramLine &line) {
        return line.statement == Statement::WaitInput;
    });
    QCOMPARE(static_cast<int>(waitLines), waits);
    const QStringList lines = describeBody(form);
    QCOMPARE(lines.mid(lines.size() - tail.size() - 3, tail.size()), tail);
}

void TestCompiler::compileTable_wholeProgram_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<bool>("acceleration");
    QTest::addColumn<QString>("accelerationText");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("home only") << QStringList{"HOME"} << false << false << "2000"
                               << QStringList{"{",   "CLR VAR;", "SI #IN;",  "SI #OUT;", "$MAIN:;", "XH;",
                                              "YH;", "DN;",      "JP $END;", "$END:;",   "}"};
    QTest::newRow("home repeated") << QStringList{"HOME"} << true << false << "2000"
                                   << QStringList{"{",   "CLR VAR;", "SI #IN;", "SI #OUT;",  "$MAIN:;",
                                                  "XH;", "YH;",      "DN;",     "JP $MAIN;", "}"};
    QTest::newRow("acceleration with empty text")
        << QStringList{"HOME"} << false << true << ""
        << QStringList{"{",   "CLR VAR;", "VA ;", "SI #IN;",  "SI #OUT;", "$MAIN:;",
                       "XH;", "YH;",      "DN;",  "JP $END;", "$END:;",   "}"};
    QTest::newRow("acceleration and repeat")
        << QStringList{"VM|50"} << true << true << "500"
        << QStringList{"{", "CLR VAR;", "VA 500;", "SI #IN;", "SI #OUT;", "$MAIN:;", "VM=50;", "JP $MAIN;", "}"};
    QTest::newRow("two loops in sequence")
        << QStringList{"LOOP|2", "WT|10", "LOOPEND", "LOOP|4", "WT|20", "LOOPEND"} << false << false << ""
        << QStringList{"{",          "CLR VAR;",        "SI #IN;",  "SI #OUT;", "SI #L1;",
                       "SI #L2;",    "$MAIN:;",         "#L1=2;",   "$LOOP1:;", "WT 10;",
                       "#L1=#L1-1;", "JNZ #L1,$LOOP1;", "#L2=4;",   "$LOOP2:;", "WT 20;",
                       "#L2=#L2-1;", "JNZ #L2,$LOOP2;", "JP $END;", "$END:;",   "}"};
    QTest::newRow("nested loops close inner first")
        << QStringList{"LOOP|2", "LOOP|3", "HOME", "LOOPEND", "LOOPEND"} << false << false << ""
        << QStringList{"{",        "CLR VAR;", "SI #IN;",    "SI #OUT;",        "SI #L1;",    "SI #L2;",
                       "$MAIN:;",  "#L1=2;",   "$LOOP1:;",   "#L2=3;",          "$LOOP2:;",   "XH;",
                       "YH;",      "DN;",      "#L2=#L2-1;", "JNZ #L2,$LOOP2;", "#L1=#L1-1;", "JNZ #L1,$LOOP1;",
                       "JP $END;", "$END:;",   "}"};
    // The feet count down from the most recent head: 2, then 3, then 2 again.
    QTest::newRow("feet close 2, 3, 2") << QStringList{"LOOP|a", "LOOP|b", "LOOPEND", "LOOP|c", "LOOPEND", "LOOPEND"}
                                        << false << false << ""
                                        << QStringList{"{",          "CLR VAR;",        "SI #IN;",    "SI #OUT;",
                                                       "SI #L1;",    "SI #L2;",         "SI #L3;",    "$MAIN:;",
                                                       "#L1=a;",     "$LOOP1:;",        "#L2=b;",     "$LOOP2:;",
                                                       "#L2=#L2-1;", "JNZ #L2,$LOOP2;", "#L3=c;",     "$LOOP3:;",
                                                       "#L3=#L3-1;", "JNZ #L3,$LOOP3;", "#L2=#L2-1;", "JNZ #L2,$LOOP2;",
                                                       "JP $END;",   "$END:;",          "}"};
    QTest::newRow("foot before head closes -1")
        << QStringList{"LOOPEND", "LOOP|5"} << false << false << ""
        << QStringList{
               "{",      "CLR VAR;", "SI #IN;",  "SI #OUT;", "SI #L1;", "$MAIN:;", "#L-1=#L-1-1;", "JNZ #L-1,$LOOP-1;",
               "#L1=5;", "$LOOP1:;", "JP $END;", "$END:;",   "}"};
    // Only the names go through S; the count keeps its inner space.
    const QStringList countsAsTyped =
        QStringList{"{", "CLR VAR;", "SI #IN;", "SI #OUT;", "SI #L1;", "SI #L2;", "$MAIN:;"} +
        QStringList{"#L1=abc;", "$LOOP1:;", "#L2=1 0;", "$LOOP2:;"} +
        QStringList{"#L2=#L2-1;", "JNZ #L2,$LOOP2;", "#L1=#L1-1;", "JNZ #L1,$LOOP1;", "JP $END;", "$END:;", "}"};
    QTest::newRow("loop counts copied as typed")
        << QStringList{"LOOP|abc", "LOOP|1 0", "LOOPEND", "LOOPEND"} << false << false << "" << countsAsTyped;
    QTest::newRow("acceleration unticked ignores its text")
        << QStringList{"WT|5"} << false << false << "2000"
        << QStringList{"{", "CLR VAR;", "SI #IN;", "SI #OUT;", "$MAIN:;", "WT 5;", "JP $END;", "$END:;", "}"};
}

void TestCompiler::compileTable_wholeProgram()
{
    QFETCH(QStringList, rows);
    QFETCH(bool, repeat);
    QFETCH(bool, acceleration);
    QFETCH(QString, accelerationText);
    QFETCH(QStringList, expected);

    CompileOptions options;
    options.Repeat = repeat;
    options.SetAcceleration = acceleration;
    options.AccelerationText = accelerationText;
    CompiledProgram program;
    QCOMPARE(compileRows(rows, program, options).status, CompileStatus::Compiled);
    QCOMPARE(linesOf(program), expected);
    QCOMPARE(program.ProgramTextLast, expected.size() - 1);
}

void TestCompiler::compileTable_rowExpansion_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("body");

    const QStringList move = {"XMA 1;", "YMA 2;", "DN;"};
    QTest::newRow("point in 0 out 0") << QStringList{"POINT|0|100|200|0"} << QStringList{"XMA 100;", "YMA 200;", "DN;"};
    QTest::newRow("coordinates copied as typed")
        << QStringList{"POINT|0|-12.50| 3 |0"} << QStringList{"XMA -12.50;", "YMA  3 ;", "DN;"};
    QTest::newRow("out 0.0 sets nothing") << QStringList{"POINT|0|1|2|0.0"} << move;
    QTest::newRow("out -0 sets nothing") << QStringList{"POINT|0|1|2|-0"} << move;
    QTest::newRow("out text reads as 0") << QStringList{"POINT|0|1|2|abc"} << move;
    QTest::newRow("out 12") << QStringList{"POINT|0|1|2|12"} << move + QStringList{"OUTP 12;"};
    QTest::newRow("out copied as typed") << QStringList{"POINT|0|1|2|12.0"} << move + QStringList{"OUTP 12.0;"};
    // Only a value of exactly 0 suppresses the output; the value is not rounded first.
    QTest::newRow("out 0.4 is not 0") << QStringList{"POINT|0|1|2|0.4"} << move + QStringList{"OUTP 0.4;"};

    QTest::newRow("in 32768") << QStringList{"POINT|32768|1|2|0"} << QStringList{"WI 16;"} + move;
    QTest::newRow("in 3") << QStringList{"POINT|3|1|2|0"} << QStringList{"WI 2;", "WI 1;"} + move;
    QTest::newRow("in 5 highest first") << QStringList{"POINT|5|1|2|0"} << QStringList{"WI 3;", "WI 1;"} + move;
    QTest::newRow("in 65535") << QStringList{"POINT|65535|1|2|0"} << kAllSixteenWaits + move;
    // Past 16 bits a full sweep takes 65535 off and the next sweep waits on the rest.
    QTest::newRow("in 65536 sweeps twice")
        << QStringList{"POINT|65536|1|2|0"} << kAllSixteenWaits + QStringList{"WI 1;"} + move;
    QTest::newRow("in 65537 sweeps twice")
        << QStringList{"POINT|65537|1|2|0"} << kAllSixteenWaits + QStringList{"WI 2;"} + move;
    QTest::newRow("in 131070 two full sweeps")
        << QStringList{"POINT|131070|1|2|0"} << kAllSixteenWaits + kAllSixteenWaits + move;
    QTest::newRow("in negative") << QStringList{"POINT|-5|1|2|0"} << move;
    QTest::newRow("in huge negative") << QStringList{"POINT|-1e30|1|2|0"} << move;
    QTest::newRow("in letters") << QStringList{"POINT|abc|1|2|0"} << move;
    QTest::newRow("in empty") << QStringList{"POINT||1|2|0"} << move;
    QTest::newRow("in 0.4 rounds to none") << QStringList{"POINT|0.4|1|2|0"} << move;
    QTest::newRow("in 2.5 rounds to even 2") << QStringList{"POINT|2.5|1|2|0"} << QStringList{"WI 2;"} + move;
    QTest::newRow("in 3.5 rounds to even 4") << QStringList{"POINT|3.5|1|2|0"} << QStringList{"WI 3;"} + move;
    QTest::newRow("in leading number") << QStringList{"POINT|6abc|1|2|0"} << QStringList{"WI 3;", "WI 2;"} + move;
    QTest::newRow("in blanks skipped") << QStringList{"POINT| 1 2|1|2|0"} << QStringList{"WI 4;", "WI 3;"} + move;
    QTest::newRow("waits, move, output in order")
        << QStringList{"POINT|32769|7|8|128"} << QStringList{"WI 16;", "WI 1;", "XMA 7;", "YMA 8;", "DN;", "OUTP 128;"};

    QTest::newRow("speed") << QStringList{"VM|50"} << QStringList{"VM=50;"};
    QTest::newRow("speed reads only column 1") << QStringList{"VM|50|9|9|9"} << QStringList{"VM=50;"};
    QTest::newRow("delay") << QStringList{"WT|1000"} << QStringList{"WT 1000;"};
    QTest::newRow("delay as typed") << QStringList{"WT|1 s"} << QStringList{"WT 1 s;"};
    QTest::newRow("home reads nothing") << QStringList{"HOME|7|8|9|1"} << QStringList{"XH;", "YH;", "DN;"};
    QTest::newRow("label and jump keep inner space")
        << QStringList{"LABLE|a b", "GLABLE|a b"} << QStringList{"$a b:;", "JP $a b;"};
    QTest::newRow("empty label") << QStringList{"LABLE|", "GLABLE|"} << QStringList{"$:;", "JP $;"};
    QTest::newRow("reserved kinds add nothing")
        << QStringList{"LINE|5|1|2|3", "ARC|5|1|2|3", "CIR|5|1|2|3"} << QStringList{};
    QTest::newRow("kinds are exact") << QStringList{"home", "Point|5|1|2|3", "HOME ", "LABEL|x", ""} << QStringList{};
    QTest::newRow("rows in table order") << QStringList{"WT|1", "LINE", "HOME", "VM|2"}
                                         << QStringList{"WT 1;", "XH;", "YH;", "DN;", "VM=2;"};
}

void TestCompiler::compileTable_rowExpansion()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, body);

    CompiledProgram program;
    QCOMPARE(compileRows(rows, program).status, CompileStatus::Compiled);
    const QStringList lines = linesOf(program);
    const QStringList prologue = {"{", "CLR VAR;", "SI #IN;", "SI #OUT;", "$MAIN:;"};
    const QStringList epilogue = {"JP $END;", "$END:;", "}"};
    QCOMPARE(lines.mid(0, prologue.size()), prologue);
    QCOMPARE(lines.mid(lines.size() - epilogue.size()), epilogue);
    QCOMPARE(lines.mid(prologue.size(), lines.size() - prologue.size() - epilogue.size()), body);
}

void TestCompiler::compileTable_onlyRowsUpToLastRow_data()
{
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<QStringList>("body");

    QTest::newRow("rows above LastRow ignored") << 1 << QStringList{"WT 1;"};
    QTest::newRow("no steps") << 0 << QStringList{};
    QTest::newRow("negative count") << -3 << QStringList{};
    QTest::newRow("count past the table") << 100000 << QStringList{"WT 1;", "XH;", "YH;", "DN;"};
}

void TestCompiler::compileTable_onlyRowsUpToLastRow()
{
    QFETCH(int, lastRow);
    QFETCH(QStringList, body);

    ProgramTable table = tableOf({"WT|1", "HOME"});
    CompiledProgram program;
    QCOMPARE(compileTable(table, lastRow, {}, program).status, CompileStatus::Compiled);
    const QStringList lines = linesOf(program);
    QCOMPARE(lines.mid(5, lines.size() - 8), body);
}

void TestCompiler::compileTable_refusedLeavesProgram_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("accelerationText"); // empty: not ticked
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("row");

    const QString unpaired = QStringLiteral("迴圈數目未成對!");
    const QString tooManyLoops = QStringLiteral("迴圈數目超過50個, 無法編譯!");
    const QString tooManyLines = QStringLiteral("程式超過1001行, 無法編譯!");
    const int kUnpaired = int(CompileStatus::UnpairedLoops);
    const int kLoops = int(CompileStatus::TooManyLoops);
    const int kLines = int(CompileStatus::TooManyLines);
    const int kBig5 = int(CompileStatus::NotBig5);

    QTest::newRow("loop, loop, loopend") << QStringList{"LOOP|1", "LOOP|2", "LOOPEND"} << "" << kUnpaired << unpaired
                                         << 0;
    QTest::newRow("lone loopend") << QStringList{"HOME", "LOOPEND"} << "" << kUnpaired << unpaired << 0;
    QTest::newRow("51 loops") << loopRows(51, 51) << "" << kLoops << tooManyLoops << 0;
    QTest::newRow("too many loops beats unpaired") << loopRows(51, 40) << "" << kLoops << tooManyLoops << 0;
    QTest::newRow("1002 lines") << oneThousandOneLines() + QStringList{"VM|1"} << "" << kLines << tooManyLines << 0;
    QTest::newRow("50 full points make 1008 lines") << QStringList(50, kFullPoint) << "" << kLines << tooManyLines << 0;
    // Such a mask would take millions of sweeps; it must end quickly in a refusal.
    QTest::newRow("huge input mask") << QStringList{"POINT|1e9|1|2|0"} << "" << kLines << tooManyLines << 0;
    QTest::newRow("input mask past 32 bits") << QStringList{"POINT|1e300|1|2|0"} << "" << kLines << tooManyLines << 0;
    QTest::newRow("unpaired beats too many lines")
        << QStringList(50, kFullPoint) + QStringList{"LOOP|1"} << "" << kUnpaired << unpaired << 0;
    QTest::newRow("too many lines beats Big5")
        << QStringList{"LABLE|标"} + QStringList(50, kFullPoint) << "" << kLines << tooManyLines << 0;

    QTest::newRow("label") << QStringList{"WT|1", "HOME", "LABLE|起标"} << "" << kBig5
                           << "第 3 行的「标」無法以 Big5 存檔, 請修改後再上傳!" << 3;
    QTest::newRow("jump target") << QStringList{"GLABLE|x标"} << "" << kBig5
                                 << "第 1 行的「标」無法以 Big5 存檔, 請修改後再上傳!" << 1;
    QTest::newRow("loop count") << QStringList{"HOME", "LOOP|三标", "LOOPEND"} << "" << kBig5
                                << "第 2 行的「标」無法以 Big5 存檔, 請修改後再上傳!" << 2;
    QTest::newRow("delay with emoji") << QStringList{"WT|1😀"} << "" << kBig5
                                      << "第 1 行的「😀」無法以 Big5 存檔, 請修改後再上傳!" << 1;
    QTest::newRow("speed") << QStringList{"VM|50한"} << "" << kBig5
                           << "第 1 行的「한」無法以 Big5 存檔, 請修改後再上傳!" << 1;
    QTest::newRow("coordinate") << QStringList{"HOME", "POINT|0|1|标|0"} << "" << kBig5
                                << "第 2 行的「标」無法以 Big5 存檔, 請修改後再上傳!" << 2;
    QTest::newRow("output mask") << QStringList{"POINT|0|1|2|1标"} << "" << kBig5
                                 << "第 1 行的「标」無法以 Big5 存檔, 請修改後再上傳!" << 1;
    QTest::newRow("first bad row named") << QStringList{"HOME", "LABLE|标", "HOME", "GLABLE|这"} << "" << kBig5
                                         << "第 2 行的「标」無法以 Big5 存檔, 請修改後再上傳!" << 2;
    QTest::newRow("acceleration text") << QStringList{"HOME"} << "20标" << kBig5
                                       << "加速度的「标」無法以 Big5 存檔, 請修改後再上傳!" << 0;
}

void TestCompiler::compileTable_refusedLeavesProgram()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, accelerationText);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(int, row);

    CompiledProgram program;
    QCOMPARE(compileRows(workedExampleRows(), program, workedExampleOptions()).status, CompileStatus::Compiled);

    CompileOptions options;
    options.SetAcceleration = !accelerationText.isEmpty();
    options.AccelerationText = accelerationText;
    const CompileResult result = compileRows(rows, program, options);
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.message, message);
    QCOMPARE(result.row, row);
    // Nothing of the refused table reaches the program the main window holds.
    QCOMPARE(program.ProgramTextLast, 24);
    QCOMPARE(linesOf(program), workedExampleLines());
    QCOMPARE(program.ProgramText.at(25), QString());

    testing::ScriptedOperator op;
    QVERIFY(!compileProgram(tableOf(rows), static_cast<int>(rows.size()), options, program, op));
    QCOMPARE(op.shown().size(), size_t(1));
    QCOMPARE(op.shown().front().kind, testing::ScriptedOperator::Kind::Notice);
    QCOMPARE(op.shown().front().text, message);
    QCOMPARE(op.shown().front().title, QStringLiteral("訊息"));
    QCOMPARE(linesOf(program), workedExampleLines());
}

void TestCompiler::compileTable_exactlyOneThousandOneLinesAccepted()
{
    const QStringList rows = oneThousandOneLines();

    CompiledProgram program;
    QCOMPARE(compileRows(rows, program).status, CompileStatus::Compiled);
    QCOMPARE(program.ProgramTextLast, 1000);
    QCOMPARE(program.ProgramText.at(1000), QStringLiteral("}"));
    QCOMPARE(program.ProgramText.at(999), QStringLiteral("$END:;"));
    QCOMPARE(program.ProgramText.at(24), QStringLiteral("OUTP 255;"));

    // The same program with "循環" is one line shorter, so one more row still fits.
    CompileOptions repeat;
    repeat.Repeat = true;
    QCOMPARE(compileRows(rows + QStringList{"VM|1"}, program, repeat).status, CompileStatus::Compiled);
    QCOMPARE(program.ProgramTextLast, 1000);
    QCOMPARE(program.ProgramText.at(998), QStringLiteral("VM=1;"));
    QCOMPARE(program.ProgramText.at(999), QStringLiteral("JP $MAIN;"));
}

void TestCompiler::compileTable_fiftyLoopsAccepted()
{
    CompiledProgram program;
    QCOMPARE(compileRows(loopRows(50, 50), program).status, CompileStatus::Compiled);
    // 4 fixed lines, then SI #L1; .. SI #L50;
    QCOMPARE(program.ProgramText.at(4), QStringLiteral("SI #L1;"));
    QCOMPARE(program.ProgramText.at(53), QStringLiteral("SI #L50;"));
    QCOMPARE(program.ProgramText.at(54), QStringLiteral("$MAIN:;"));
    // The 50th head is the last of the heads; the first foot closes it.
    QCOMPARE(program.ProgramText.at(55 + 2 * 49), QStringLiteral("#L50=n50;"));
    QCOMPARE(program.ProgramText.at(55 + 2 * 50), QStringLiteral("#L50=#L50-1;"));
    QCOMPARE(program.ProgramText.at(55 + 4 * 50 - 1), QStringLiteral("JNZ #L1,$LOOP1;"));
    QCOMPARE(program.ProgramTextLast, 55 + 4 * 50 + 2);
    QCOMPARE(program.LoopCounts.at(50), QStringLiteral("n50"));
}

void TestCompiler::compileTable_unreadCellsNeedNotBeBig5()
{
    // Only emitted text has to travel as Big5; columns a kind does not read do not count.
    CompiledProgram program;
    const CompileResult result =
        compileRows({"VM|5|标|标|标", "LINE|标|标|标|标", "HOME|标", "LOOPEND|标", "LOOP|2|标|标|标"}, program);
    QCOMPARE(result.status, CompileStatus::Compiled);
    for (const QString &line : linesOf(program))
        QVERIFY2(!line.contains(QStringLiteral("标")), qPrintable(line));
}

void TestCompiler::compileTable_loopCountsKeptAndFilledByRefusedTable()
{
    CompiledProgram program;
    QCOMPARE(compileRows({"LOOP|a", "LOOP|b", "LOOP|c", "LOOPEND", "LOOPEND", "LOOPEND"}, program).status,
             CompileStatus::Compiled);
    QCOMPARE(program.LoopCounts.at(3), QStringLiteral("c"));

    // A table without loops leaves the slots as they were.
    QCOMPARE(compileRows({"HOME"}, program).status, CompileStatus::Compiled);
    QCOMPARE(program.LoopCounts.at(1), QStringLiteral("a"));
    QCOMPARE(program.LoopCounts.at(3), QStringLiteral("c"));
    const QStringList homeProgram = linesOf(program);

    // A refused table still leaves its counts in the slots it reached, and only there.
    QCOMPARE(compileRows({"LOOP|x", "LOOP|y", "LOOPEND"}, program).status, CompileStatus::UnpairedLoops);
    QCOMPARE(program.LoopCounts.at(1), QStringLiteral("x"));
    QCOMPARE(program.LoopCounts.at(2), QStringLiteral("y"));
    QCOMPARE(program.LoopCounts.at(3), QStringLiteral("c"));
    QCOMPARE(linesOf(program), homeProgram);

    // Too many loops fills all fifty slots and nothing past them.
    QCOMPARE(compileRows(loopRows(51, 51), program).status, CompileStatus::TooManyLoops);
    QCOMPARE(program.LoopCounts.at(1), QStringLiteral("n1"));
    QCOMPARE(program.LoopCounts.at(50), QStringLiteral("n50"));
    QCOMPARE(program.LoopCounts.at(0), QString());
    QCOMPARE(linesOf(program), homeProgram);
}

void TestCompiler::compileTable_shorterProgramLeavesLeftoversAboveLast()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CompiledProgram program;
    QCOMPARE(compileRows(workedExampleRows(), program, workedExampleOptions()).status, CompileStatus::Compiled);
    QCOMPARE(compileRows({"HOME"}, program).status, CompileStatus::Compiled);

    QCOMPARE(program.ProgramTextLast, 10);
    QCOMPARE(linesOf(program), (QStringList{"{", "CLR VAR;", "SI #IN;", "SI #OUT;", "$MAIN:;", "XH;", "YH;", "DN;",
                                            "JP $END;", "$END:;", "}"}));
    QCOMPARE(program.ProgramText.at(15), QStringLiteral("OUTP 1;"));
    QCOMPARE(program.ProgramText.at(24), QStringLiteral("}"));

    const QString path = dir.filePath(QStringLiteral("TRY.txt"));
    QVERIFY(writeListing(program, path));
    QCOMPARE(readAll(path), QByteArray("{\r\nCLR VAR;\r\nSI #IN;\r\nSI #OUT;\r\n$MAIN:;\r\nXH;\r\nYH;\r\nDN;\r\n"
                                       "JP $END;\r\n$END:;\r\n}\r\n"));
}

void TestCompiler::CompileProgram_unpairedLoopsNoticeAndNoListing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("TRY.txt"));
    CompiledProgram program;
    QCOMPARE(compileRows({"HOME"}, program).status, CompileStatus::Compiled);
    QVERIFY(writeListing(program, path));
    const QByteArray before = readAll(path);

    // As the upload does it: the listing is written only after a compile that passed.
    const QStringList rows = {"LOOP|1", "LOOP|2", "LOOPEND"};
    testing::ScriptedOperator op;
    const bool compiled = compileProgram(tableOf(rows), 3, {}, program, op);
    if (compiled)
        writeListing(program, path);

    QVERIFY(!compiled);
    QCOMPARE(op.notices(), QStringList{QStringLiteral("迴圈數目未成對!")});
    QCOMPARE(op.shown().front().title, QStringLiteral("訊息"));
    QCOMPARE(op.unscripted(), 0);
    QCOMPARE(program.ProgramTextLast, 10);
    QCOMPARE(program.ProgramText.at(5), QStringLiteral("XH;"));
    QCOMPARE(readAll(path), before);
}

void TestCompiler::CompileProgram_compiledShowsNothing()
{
    testing::ScriptedOperator op;
    CompiledProgram program;
    QVERIFY(compileProgram(tableOf(workedExampleRows()), 6, workedExampleOptions(), program, op));
    QVERIFY(op.shown().empty());
    QCOMPARE(linesOf(program), workedExampleLines());
}

void TestCompiler::WriteListing_workedExampleBytesReplaceOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("TRY.txt"));
    QVERIFY(writeBytes(path, QByteArray(5000, 'x')));

    CompiledProgram program;
    QCOMPARE(compileRows(workedExampleRows(), program, workedExampleOptions()).status, CompileStatus::Compiled);
    QString error;
    QVERIFY(writeListing(program, path, &error));
    QVERIFY(error.isEmpty());

    const QByteArray expected = "{\r\nCLR VAR;\r\nVA 2000;\r\nSI #IN;\r\nSI #OUT;\r\nSI #L1;\r\n$MAIN:;\r\n"
                                "VM=50;\r\n#L1=3;\r\n$LOOP1:;\r\nWI 3;\r\nWI 1;\r\nXMA 100;\r\nYMA 200;\r\nDN;\r\n"
                                "OUTP 1;\r\nWT 1000;\r\n#L1=#L1-1;\r\nJNZ #L1,$LOOP1;\r\nXH;\r\nYH;\r\nDN;\r\n"
                                "JP $END;\r\n$END:;\r\n}\r\n";
    QCOMPARE(readAll(path), expected);
}

void TestCompiler::WriteListing_chineseLabelInBig5()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("TRY.txt"));
    CompiledProgram program;
    QCOMPARE(compileRows({"LABLE|起點", "GLABLE|起點"}, program).status, CompileStatus::Compiled);
    QCOMPARE(program.ProgramText.at(5), QStringLiteral("$起點:;"));
    QVERIFY(writeListing(program, path));
    // 起 is B0 5F and 點 is C2 49 in Big5.
    QCOMPARE(readAll(path), QByteArray("{\r\nCLR VAR;\r\nSI #IN;\r\nSI #OUT;\r\n$MAIN:;\r\n"
                                       "$\xB0\x5F\xC2\x49:;\r\nJP $\xB0\x5F\xC2\x49;\r\n"
                                       "JP $END;\r\n$END:;\r\n}\r\n"));
}

void TestCompiler::WriteListing_unwritablePathFails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString blocker = dir.filePath(QStringLiteral("plain"));
    QVERIFY(writeBytes(blocker, "not a folder"));

    CompiledProgram program;
    QCOMPARE(compileRows({"HOME"}, program).status, CompileStatus::Compiled);
    QString error;
    QVERIFY(!writeListing(program, blocker + QStringLiteral("/TRY.txt"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!writeListing(program, blocker + QStringLiteral("/TRY.txt")));
    QCOMPARE(readAll(blocker), QByteArray("not a folder"));
}

void TestCompiler::WriteListing_neverWritesAReplacementCharacter()
{
    // The compiler refuses such text, but a program handed over directly must not
    // reach the file with "?" in its place either, nor clobber the earlier listing.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("TRY.txt"));
    QVERIFY(writeBytes(path, "old"));
    CompiledProgram program;
    program.ProgramText.at(0) = QStringLiteral("{");
    program.ProgramText.at(1) = QStringLiteral("$标:;");
    program.ProgramText.at(2) = QStringLiteral("}");
    program.ProgramTextLast = 2;
    QString error;
    QVERIFY(!writeListing(program, path, &error));
    QVERIFY2(error.contains(QStringLiteral("标")), qPrintable(error));
    QCOMPARE(readAll(path), QByteArray("old"));
}

void TestCompiler::WriteListing_plantedNamesLeadNowhere_data()
{
    QTest::addColumn<QString>("planted"); // a link to notes.txt, or a named pipe
    QTest::addColumn<bool>("written");
    QTest::addColumn<QByteArray>("notes"); // what notes.txt holds afterwards
    const QByteArray listing = "{\r\nCLR VAR;\r\nSI #IN;\r\nSI #OUT;\r\n$MAIN:;\r\nXH;\r\nYH;\r\nDN;\r\n"
                               "JP $END;\r\n$END:;\r\n}\r\n";
    QTest::newRow("link at the old temporary name") << "TRY.txt.new" << true << QByteArray("mine");
    QTest::newRow("listing a link to a file") << "TRY.txt" << true << listing;
    QTest::newRow("listing a named pipe") << "fifo" << false << QByteArray("mine");
}

void TestCompiler::WriteListing_plantedNamesLeadNowhere()
{
    QFETCH(QString, planted);
    QFETCH(bool, written);
    QFETCH(QByteArray, notes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TRY.txt"));
    const QString notesPath = dir.filePath(QStringLiteral("notes.txt"));
    QVERIFY(writeBytes(notesPath, "mine"));
    const FileKind kind = planted == QLatin1String("fifo") ? FileKind::NamedPipe : FileKind::SymbolicLink;
    if (!canMakeFileKind(kind))
        QSKIP(whyNoFileKind(kind));
    if (kind == FileKind::NamedPipe)
        QVERIFY(makeFileKind(kind, path));
    else
        QVERIFY(makeFileKind(kind, dir.filePath(planted), notesPath));
    CompiledProgram program;
    QCOMPARE(compileRows({"HOME"}, program).status, CompileStatus::Compiled);
    QString error;
    QCOMPARE(writeListing(program, path, &error), written);
    QCOMPARE(readAll(notesPath), notes);
    if (!written)
        QCOMPARE(error, QStringLiteral("%1 不是一般檔案, 無法寫入!").arg(path));
    else if (planted == QLatin1String("TRY.txt"))
        QVERIFY(QFileInfo(path).isSymLink()); // still the operator's link
    else
        QVERIFY(readAll(path).startsWith("{\r\n"));
    // No temporary file is left beside the listing.
    const QStringList left = QDir(dir.path()).entryList({QStringLiteral("TRY.txt.*")}, QDir::AllEntries | QDir::System);
    QCOMPARE(left, planted.endsWith(QLatin1String(".new")) ? QStringList{planted} : QStringList());
}

void TestCompiler::listingFilePath_place()
{
#if defined(Q_OS_WIN)
    QCOMPARE(listingFilePath(), QStringLiteral("C:\\TRY.txt"));
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const QString path = listingFilePath();
    QVERIFY(QDir::setCurrent(previous));
    // Absolute, so that a later change of the working directory cannot move it.
    QVERIFY2(QFileInfo(path).isAbsolute(), qPrintable(path));
    QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("TRY.txt"));
    QCOMPARE(QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath(), QFileInfo(dir.path()).canonicalFilePath());
#endif
}

QTEST_APPLESS_MAIN(TestCompiler)
#include "tst_compiler.moc"

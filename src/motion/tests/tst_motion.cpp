#include "motion/planarmove.h"
#include "motion/programpath.h"
#include "motion/stepdescriptions.h"
#include "testing/stepbuilder.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace talvex;
using talvex::testing::tableOf;

namespace {

using Outcome = CycleEstimate::Outcome;

/// Time for one axis to cover @p d mm at speed @p v and acceleration @p a, worked out
/// by stepping the motion in tiny time slices: brake once the remaining distance is
/// what braking from the present speed needs, else speed up to v. Independent of the
/// closed form the model uses.
double steppedDuration(double d, double v, double a)
{
    constexpr double kSlice = 1e-6;
    double covered = 0.0;
    double speed = 0.0;
    double t = 0.0;
    while (d > 0.0) {
        if (d - covered <= speed * speed / (2.0 * a)) {
            speed -= a * kSlice;
            if (speed <= 0.0)
                break;
        } else {
            speed = std::min(speed + a * kSlice, v);
        }
        covered += speed * kSlice;
        t += kSlice;
    }
    return t;
}

ProgramPath pathOf(const QStringList &rows, const MotionOptions &options = {})
{
    return computeProgramPath(tableOf(rows), static_cast<int>(rows.size()), options);
}

MotionOptions repeat()
{
    MotionOptions options;
    options.Repeat = true;
    return options;
}

MotionOptions setAcceleration(const QString &text)
{
    MotionOptions options;
    options.SetAcceleration = true;
    options.AccelerationText = text;
    options.ReportedAcceleration = QStringLiteral("500\r");
    return options;
}

MotionOptions reportedAcceleration(const QString &text)
{
    MotionOptions options;
    options.ReportedAcceleration = text;
    return options;
}

/// A loop nested @p depth deep, each counting @p count passes, around a 1 ms delay.
QStringList nestedLoops(int depth, int count)
{
    QStringList rows;
    for (int i = 0; i < depth; ++i)
        rows << QStringLiteral("LOOP|%1").arg(count);
    rows << QStringLiteral("WT|1");
    for (int i = 0; i < depth; ++i)
        rows << QStringLiteral("LOOPEND");
    return rows;
}

/// Distance from @p p to the straight line through @p a and @p b.
double offLine(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    return std::abs(d.x() * (p.y() - a.y()) - d.y() * (p.x() - a.x())) / std::hypot(d.x(), d.y());
}

} // namespace

Q_DECLARE_METATYPE(talvex::MotionOptions)
Q_DECLARE_METATYPE(talvex::CycleEstimate::Outcome)

class TestMotion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void moveDuration_matchesSteppedMotion_data();
    void moveDuration_matchesSteppedMotion();
    void bentMove_leavesDiagonallyAndEndsAlongLongerAxis();
    void estimate_followsCompiledFlow_data();
    void estimate_followsCompiledFlow();
    void path_drawsRowsWhereTheyHappen();
    void path_refusedTableStillShowsLoopsAndJumps_data();
    void path_refusedTableStillShowsLoopsAndJumps();
    void summary_data();
    void summary();
    void describeStep_saysWhatTheRowDoes_data();
    void describeStep_saysWhatTheRowDoes();
};

void TestMotion::moveDuration_matchesSteppedMotion_data()
{
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("acceleration");

    QTest::newRow("straight, reaches full speed") << QPointF(100, 0) << 100.0 << 2000.0;
    QTest::newRow("diagonal") << QPointF(-80, 80) << 100.0 << 2000.0;
    QTest::newRow("bent, the longer axis decides") << QPointF(30, -250) << 150.0 << 1000.0;
    QTest::newRow("short, never reaches full speed") << QPointF(2, 1) << 100.0 << 2000.0;
    QTest::newRow("just reaches full speed") << QPointF(5, 0) << 100.0 << 2000.0;
}

void TestMotion::moveDuration_matchesSteppedMotion()
{
    QFETCH(QPointF, to);
    QFETCH(double, speed);
    QFETCH(double, acceleration);
    const PlanarMove move(QPointF(), to, speed, acceleration);
    const double expected = std::max(steppedDuration(std::abs(to.x()), speed, acceleration),
                                     steppedDuration(std::abs(to.y()), speed, acceleration));
    QVERIFY2(std::abs(move.duration() - expected) < 1e-4,
             qPrintable(QStringLiteral("%1 s, stepped %2 s").arg(move.duration()).arg(expected)));
    QCOMPARE(move.positionAt(move.duration()), to);
    QCOMPARE(move.positionAt(0.0), QPointF());
}

void TestMotion::bentMove_leavesDiagonallyAndEndsAlongLongerAxis()
{
    const Polyline bent = PlanarMove(QPointF(10, 10), QPointF(110, 40), 100.0, 2000.0).samples();
    QVERIFY(bent.size() > 2);
    QCOMPARE(bent.front(), QPointF(10, 10));
    QCOMPARE(bent.back(), QPointF(110, 40));
    // Both axes speed up alike, so the head leaves at 45°; Y stands long before X.
    const QPointF early = bent.at(2) - bent.front();
    QVERIFY(std::abs(early.x() - early.y()) < 1e-9);
    QCOMPARE(bent.at(bent.size() - 2).y(), 40.0);
    QVERIFY(offLine(bent.at(bent.size() / 2), bent.front(), bent.back()) > 5.0);

    QCOMPARE(PlanarMove(QPointF(), QPointF(50, 0), 100.0, 2000.0).samples().size(), 2);
    QCOMPARE(PlanarMove(QPointF(), QPointF(-30, 30), 100.0, 2000.0).samples().size(), 2);
}

void TestMotion::estimate_followsCompiledFlow_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<MotionOptions>("options");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<double>("waits");
    QTest::addColumn<int>("row");

    // At 100 mm/s and 2000 mm/s² a move of d mm at full speed takes d/100 + 0.05 s.
    const MotionOptions plain;
    QTest::newRow("straight move") << QStringList{"POINT|0|100|0|0"} << plain << Outcome::Ends << 1.05 << 0.0 << 0;
    QTest::newRow("bent move: the longer axis")
        << QStringList{"POINT|0|100|-30|0"} << plain << Outcome::Ends << 1.05 << 0.0 << 0;
    QTest::newRow("short move: a triangle")
        << QStringList{"POINT|0|2|0|0"} << plain << Outcome::Ends << 2 * std::sqrt(2.0 / 2000) << 0.0 << 0;
    QTest::newRow("speed from its step on") << QStringList{"POINT|0|100|0|0", "VM|50", "POINT|0|0|0|0"} << plain
                                            << Outcome::Ends << 1.05 + 2.025 << 0.0 << 0;
    QTest::newRow("delays and home") << QStringList{"POINT|0|100|0|0", "WT|1500", "HOME"} << plain << Outcome::Ends
                                     << 1.05 + 1.5 + 1.05 << 0.0 << 0;
    QTest::newRow("loop: first pass from before it")
        << QStringList{"LOOP|3", "POINT|0|40|0|0", "POINT|0|30|0|0", "LOOPEND"} << plain << Outcome::Ends
        << 0.45 + 0.15 + 2 * 0.3 << 0.0 << 0;
    QTest::newRow("nested loops multiply, waits counted")
        << QStringList{"LOOP|3", "WT|100", "LOOP|4", "POINT|5|10|0|0", "HOME", "LOOPEND", "LOOPEND"} << plain
        << Outcome::Ends << 3 * (0.1 + 4 * 0.3) << 24.0 << 0;
    QTest::newRow("a million passes") << QStringList{"LOOP|1000000", "WT|1", "LOOPEND"} << plain << Outcome::Ends
                                      << 1000.0 << 0.0 << 0;
    QTest::newRow("twenty nested loops") << nestedLoops(20, 2) << plain << Outcome::Ends << 1048.576 << 0.0 << 0;
    QTest::newRow("loop count 0 never runs out")
        << QStringList{"LOOP|0", "WT|1", "LOOPEND"} << plain << Outcome::Endless << 0.0 << 0.0 << 0;
    QTest::newRow("feet close loops by number: 2, 3, 2")
        << QStringList{"LOOP|2", "LOOP|2", "LOOPEND", "LOOP|2", "LOOPEND", "LOOPEND"} << plain << Outcome::Endless
        << 0.0 << 0.0 << 0;
    QTest::newRow("jump forward skips to its label")
        << QStringList{"GLABLE|A", "WT|1000", "LABLE|A", "WT|500"} << plain << Outcome::Ends << 0.5 << 0.0 << 0;
    QTest::newRow("jump back never ends")
        << QStringList{"LABLE|A", "POINT|0|10|0|0", "GLABLE|A"} << plain << Outcome::Endless << 0.0 << 0.0 << 0;
    QTest::newRow("jump to the loop's own label") << QStringList{"LOOP|2", "WT|1", "LOOPEND", "GLABLE|LOOP1", "WT|5"}
                                                  << plain << Outcome::Endless << 0.0 << 0.0 << 0;
    QTest::newRow("jump to a missing label stops")
        << QStringList{"WT|1", "GLABLE|B"} << plain << Outcome::Stops << 0.0 << 0.0 << 2;
    QTest::newRow("循環: the repeating cycle")
        << QStringList{"POINT|0|100|0|0", "POINT|0|110|0|0"} << repeat() << Outcome::Ends << 0.3 << 0.0 << 0;
    QTest::newRow("循環 with a jump back")
        << QStringList{"LABLE|A", "WT|1", "GLABLE|A"} << repeat() << Outcome::Endless << 0.0 << 0.0 << 0;
    QTest::newRow("acceleration set by the program")
        << QStringList{"POINT|0|100|0|0"} << setAcceleration("1000") << Outcome::Ends << 1.1 << 0.0 << 0;
    QTest::newRow("acceleration the controller reported")
        << QStringList{"POINT|0|100|0|0"} << reportedAcceleration("500\r") << Outcome::Ends << 1.2 << 0.0 << 0;
    QTest::newRow("no acceleration reported yet")
        << QStringList{"POINT|0|100|0|0"} << reportedAcceleration("0") << Outcome::Ends << 1.05 << 0.0 << 0;
    QTest::newRow("speed 0 stops the program")
        << QStringList{"WT|1", "VM|0", "POINT|0|10|0|0"} << plain << Outcome::Stops << 0.0 << 0.0 << 2;
    QTest::newRow("unpaired loops are not compiled")
        << QStringList{"LOOP|2", "WT|1"} << plain << Outcome::NotCompiled << 0.0 << 0.0 << 0;
}

void TestMotion::estimate_followsCompiledFlow()
{
    QFETCH(QStringList, rows);
    QFETCH(MotionOptions, options);
    QFETCH(Outcome, outcome);
    QFETCH(double, seconds);
    QFETCH(double, waits);
    QFETCH(int, row);
    const CycleEstimate estimate = pathOf(rows, options).estimate;
    QCOMPARE(estimate.outcome, outcome);
    QVERIFY2(std::abs(estimate.seconds - seconds) < 1e-9 * std::max(1.0, seconds),
             qPrintable(QString::number(estimate.seconds, 'g', 12)));
    QCOMPARE(estimate.inputWaits, waits);
    QCOMPARE(estimate.row, row);
}

void TestMotion::path_drawsRowsWhereTheyHappen()
{
    const ProgramPath path = pathOf({"VM|50", "LOOP|3", "POINT|5|100|200|1", "WT|1000", "LOOPEND", "GLABLE|B",
                                     "POINT|0|300|0|0", "LABLE|B", "HOME"});

    QCOMPARE(path.moves.size(), size_t(3));
    QCOMPARE(path.moves[0].samples.front(), QPointF(0, 0));
    QCOMPARE(path.moves[0].target, QPointF(100, 200));
    // Skipped by the jump: drawn from the table's order, marked as never travelled;
    // home is travelled from where the jump left the head.
    QCOMPARE(path.moves[1].reached, false);
    QCOMPARE(path.moves[2].home, true);
    QCOMPARE(path.moves[2].samples.front(), QPointF(100, 200));
    QCOMPARE(path.moves[2].reached, true);

    QStringList marks;
    for (const PathMark &mark : path.marks)
        marks << QStringLiteral("%1 %2,%3").arg(mark.description).arg(mark.position.x()).arg(mark.position.y());
    QCOMPARE(marks, (QStringList{"第 1 行: 速度 50 mm/s 0,0", "第 3 行: 等待輸入 3, 1 0,0",
                                 "第 3 行: 設定輸出 1 (其餘關閉) 100,200", "第 4 行: 延遲 1 秒 100,200",
                                 "第 6 行: 跳至標籤「B」 100,200", "第 8 行: 標籤「B」 100,200"}));

    QCOMPARE(path.loops.size(), size_t(1));
    QCOMPARE(path.loops[0].text, QStringLiteral("×3"));
    QCOMPARE(path.loops[0].position, QPointF(100, 200));
    QCOMPARE(path.jumps.size(), size_t(1));
    QCOMPARE(path.jumps[0].from, QPointF(100, 200));
    QCOMPARE(path.jumps[0].to, QPointF(100, 200));
    const ProgramPath back = pathOf({"POINT|0|10|0|0", "LABLE|A", "POINT|0|50|60|0", "GLABLE|A"});
    QCOMPARE(back.jumps[0].from, QPointF(50, 60));
    QCOMPARE(back.jumps[0].to, QPointF(10, 0));
    QCOMPARE(path.bounds, QRectF(QPointF(0, 0), QPointF(300, 200)));
    // Only what the axes travel counts: out to the point and home again.
    QVERIFY(path.lengthMm > 2 * std::hypot(100, 200));
    QVERIFY(path.lengthMm < 2 * 300);
}

void TestMotion::path_refusedTableStillShowsLoopsAndJumps_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("loops");
    QTest::addColumn<int>("lastLoopRow");

    const QStringList loopAndJump = {"LOOP|2", "WT|1", "LOOPEND", "GLABLE|A", "LABLE|A"};
    // 5 prologue lines and 4 a point: the loop and the jump lie past the 1001 lines.
    QTest::newRow("too long") << QStringList(250, QStringLiteral("POINT|0|1|2|1")) + loopAndJump
                              << QStringLiteral("程式超過1001行") << 1 << 251;
    QTest::newRow("huge input mask") << QStringList{"POINT|1e9|1|2|0"} + loopAndJump << QStringLiteral("程式超過1001行")
                                     << 1 << 2;
    QTest::newRow("unpaired") << QStringList{"LOOP|3"} + loopAndJump << QStringLiteral("迴圈數目未成對") << 2 << 2;
    QTest::newRow("51 loops") << QStringList(51, QStringLiteral("LOOP|2")) +
                                     QStringList(51, QStringLiteral("LOOPEND")) + QStringList{"GLABLE|A", "LABLE|A"}
                              << QStringLiteral("迴圈數目超過50個") << 51 << 51;
}

void TestMotion::path_refusedTableStillShowsLoopsAndJumps()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, reason);
    QFETCH(int, loops);
    QFETCH(int, lastLoopRow);

    const ProgramPath path = pathOf(rows);
    QCOMPARE(path.estimate.outcome, Outcome::NotCompiled);
    QCOMPARE(path.estimate.reason, reason);
    QCOMPARE(static_cast<int>(path.loops.size()), loops);
    QCOMPARE(path.loops.back().row, lastLoopRow);
    QCOMPARE(path.jumps.size(), size_t(1));
    QCOMPARE(path.jumps[0].row, static_cast<int>(rows.size()) - 1);
}

void TestMotion::summary_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("text");

    QTest::newRow("time and length") << QStringList{"POINT|0|100|0|0", "WT|234"}
                                     << QStringLiteral("預估週期時間: 1.28 秒，路徑長度: 100.0 mm");
    QTest::newRow("input waits left out") << QStringList{"POINT|3|0|50|0", "POINT|16|0|0|0"}
                                          << QStringLiteral("預估週期時間: 1.10 秒，路徑長度: 100.0 mm，"
                                                            "含 3 個等待輸入 (未計入)");
    QTest::newRow("endless") << QStringList{"LABLE|A", "POINT|8|0|50|0", "GLABLE|A"}
                             << QStringLiteral("程式不會結束，路徑長度: 50.0 mm");
    QTest::newRow("stops") << QStringList{"GLABLE|X"}
                           << QStringLiteral("程式會在第 1 行停止: 找不到標籤「X」，路徑長度: 0.0 mm");
    QTest::newRow("not compiled") << QStringList{"LOOPEND", "LOOPEND", "LOOP|1"}
                                  << QStringLiteral("無法預估: 迴圈數目未成對，路徑長度: 0.0 mm");
    QTest::newRow("not compiled: a label Big5 cannot carry")
        << QStringList{"WT|1", "LABLE|起點😀"}
        << QStringLiteral("無法預估: 第 2 行有 Big5 無法存放的字，路徑長度: 0.0 mm");
    QTest::newRow("a point no machine reaches")
        << QStringList{"POINT|0|1e306|0|0"} << QStringLiteral("預估週期時間: 無法估計，路徑長度: 無法估計");
    QStringList nested;
    for (int i = 0; i < 50; ++i)
        nested << QStringLiteral("LOOP|1000000000");
    nested << QStringLiteral("POINT|0|10|0|0") << QStringLiteral("POINT|0|0|0|0");
    for (int i = 0; i < 50; ++i)
        nested << QStringLiteral("LOOPEND");
    QTest::newRow("more passes than a day holds")
        << nested << QStringLiteral("預估週期時間: 無法估計，路徑長度: 20.0 mm");
}

void TestMotion::summary()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, text);
    QCOMPARE(pathOf(rows).summary(), text);
}

void TestMotion::describeStep_saysWhatTheRowDoes_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("point") << "POINT|5|100|200|5"
                           << "等待輸入 1、3 後移到 X 100, Y 200, 設定輸出 1、3";
    QTest::newRow("point, no I/O") << "POINT|0| 10.5|-3|0"
                                   << "移到 X 10.5, Y -3";
    // Past input 16 every input is waited for, then again from the top, in that order.
    QTest::newRow("point, masks past the boxes")
        << "POINT|65537|0|0|300"
        << "等待輸入 16、15、14、13、12、11、10、9、8、7、6、5、4、3、2、1、2 後移到 X 0, Y 0, 設定輸出 (OUTP 300)";
    QTest::newRow("line") << "LINE|0|1|2|0"
                          << "直線 (LINE): 保留的步驟, 上傳時不產生程式";
    QTest::newRow("arc") << "ARC|0|1|2|0"
                         << "圓弧 (ARC): 保留的步驟, 上傳時不產生程式";
    QTest::newRow("circle") << "CIR|0|1|2|0"
                            << "圓 (CIR): 保留的步驟, 上傳時不產生程式";
    QTest::newRow("speed") << "VM|150"
                           << "速度設為 150 mm/s";
    QTest::newRow("wait") << "WT|1500"
                          << "延遲 1.5 秒";
    QTest::newRow("wait, no number") << "WT|abc"
                                     << "延遲「abc」";
    QTest::newRow("loop") << "LOOP|3"
                          << "迴圈開始: 以下步驟做 3 次";
    QTest::newRow("loop end") << "LOOPEND|0"
                              << "迴圈結束: 回到迴圈開始, 直到次數做完";
    QTest::newRow("label") << "LABLE|A"
                           << "標籤「A」";
    QTest::newRow("jump") << "GLABLE|A"
                          << "跳至標籤「A」";
    QTest::newRow("home") << "HOME|0"
                          << "X、Y 軸回原點";
    QTest::newRow("unknown") << "point|0"
                             << "無法辨識的步驟「point」, 上傳時略過";
}

void TestMotion::describeStep_saysWhatTheRowDoes()
{
    QFETCH(QString, step);
    QFETCH(QString, sentence);
    QCOMPARE(describeStep(StepRow(talvex::testing::stepOf(step))), sentence);
}

QTEST_GUILESS_MAIN(TestMotion)
#include "tst_motion.moc"

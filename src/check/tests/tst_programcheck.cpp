#include "check/programcheck.h"
#include "testing/stepbuilder.h"
#include "testing/workedexample.h"

#include <QTest>

using namespace talvex;
using namespace talvex::testing;

class TestProgramCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void isDecimalNumber_data();
    void isDecimalNumber();
    void checkProgram_data();
    void checkProgram();
    void checkProgram_tooLong();
};

void TestProgramCheck::isDecimalNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    for (const char *yes : {"0", "-12", "+3.5", ".5", "7.", "1e3", "2.5E-2", " 42 "})
        QTest::newRow(yes) << QString::fromLatin1(yes) << true;
    for (const char *no : {"", " ", "abc", "12x", "1 2", ".", "-", "1e", "e3", "1.2.3", "0x10"})
        QTest::newRow(qPrintable(QStringLiteral("not: '%1'").arg(QLatin1String(no))))
            << QString::fromLatin1(no) << false;
}

void TestProgramCheck::isDecimalNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, number);
    QCOMPARE(talvex::isDecimalNumber(text), number);
}

void TestProgramCheck::checkProgram_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<QStringList>("sentences");
    QTest::addColumn<QList<int>>("problemRows");

    QTest::newRow("worked example: none") << workedExampleRows() << false << QStringList{} << QList<int>{};
    QTest::newRow("numbers of each kind")
        << QStringList{"VM|fast", "WT|abc", "LOOP|12x", "LOOPEND", "POINT||1a|2|3", "POINT|1|2|y|o"} << false
        << QStringList{"第 1 行: 速度「fast」不是數字",    "第 2 行: 延遲時間「abc」不是數字",
                       "第 3 行: 迴圈次數「12x」不是數字", "第 5 行: X 座標「1a」不是數字",
                       "第 5 行: IN 條件「」不是數字",     "第 6 行: Y 座標「y」不是數字",
                       "第 6 行: OUT 輸出「o」不是數字"}
        << QList<int>{1, 2, 3, 5, 5, 6, 6};
    QTest::newRow("labels: undefined, twice, the program's own")
        << QStringList{"LABLE|A", "GLABLE|A", "LABLE|A", "GLABLE|B", "GLABLE|MAIN", "LABLE|END", "GLABLE|LOOP1"}
        << false
        << QStringList{"第 3 行: 標籤「A」重複定義 (第 1 行已定義)", "第 4 行: 跳至的標籤「B」沒有定義",
                       "第 6 行: 標籤「END」與程式本身的標籤重複", "第 7 行: 跳至的標籤「LOOP1」沒有定義"}
        << QList<int>{3, 4, 6, 7};
    QTest::newRow("END is no label of a repeating program")
        << QStringList{"GLABLE|END"} << true << QStringList{"第 1 行: 跳至的標籤「END」沒有定義"} << QList<int>{1};
    QTest::newRow("loops: counts differ, whole program last")
        << QStringList{"LOOP|2", "WT|x", "LOOP|3", "LOOPEND"} << false
        << QStringList{"第 2 行: 延遲時間「x」不是數字", "迴圈數目未成對"} << QList<int>{2, 0};
    QTest::newRow("loops: a foot before its head") << QStringList{"LOOP|2", "LOOPEND", "LOOPEND", "LOOP|2"} << false
                                                   << QStringList{"第 3 行: 迴圈結束之前沒有迴圈開始"} << QList<int>{3};
}

void TestProgramCheck::checkProgram()
{
    QFETCH(QStringList, rows);
    QFETCH(bool, repeat);
    QFETCH(QStringList, sentences);
    QFETCH(QList<int>, problemRows);

    CompileOptions options;
    options.Repeat = repeat;
    const std::vector<ProgramProblem> problems =
        talvex::checkProgram(tableOf(rows), static_cast<int>(rows.size()), options);
    QStringList gotSentences;
    QList<int> gotRows;
    for (const ProgramProblem &problem : problems) {
        gotSentences << problem.sentence;
        gotRows << problem.row;
    }
    QCOMPARE(gotSentences, sentences);
    QCOMPARE(gotRows, problemRows);
}

void TestProgramCheck::checkProgram_tooLong()
{
    // 60 points of 20 lines each: past the 1001 lines, all of it counted.
    QStringList rows;
    for (int r = 0; r < 60; ++r)
        rows << QStringLiteral("POINT|65535|1|2|255");
    const std::vector<ProgramProblem> problems = talvex::checkProgram(tableOf(rows), 60, CompileOptions());
    QCOMPARE(problems.size(), size_t(1));
    QCOMPARE(problems[0].kind, ProblemKind::TooManyLines);
    QCOMPARE(problems[0].row, 0);
    QVERIFY(problems[0].sentence.startsWith(QStringLiteral("程式有 ")));
    QVERIFY(problems[0].sentence.endsWith(QStringLiteral(" 行, 超過 1001 行")));
}

QTEST_GUILESS_MAIN(TestProgramCheck)
#include "tst_programcheck.moc"

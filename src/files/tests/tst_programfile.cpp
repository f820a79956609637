#include "core/big5.h"
#include "files/programfile.h"
#include "testing/scriptedoperator.h"
#include "testing/stepbuilder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace talvex;
using namespace talvex::testing;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// A station-made program: a point, a Chinese label, a jump, a delay.
ProgramTable sampleTable(int &lastRow)
{
    ProgramTable t;
    t.writeHeader();
    t.setRow(1, stepOf("POINT|5|100|200.5|1"));
    t.setRow(2, stepOf("LABLE|起點|0|0|0"));
    t.setRow(3, stepOf("GLABLE|起點|0|0|0"));
    t.setRow(4, stepOf("WT|1000|0|0|0"));
    lastRow = 4;
    return t;
}

} // namespace

class TestProgramFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void format_fixedWidthColumns_data();
    void format_fixedWidthColumns();
    void split_atRunsOfSpaces_data();
    void split_atRunsOfSpaces();
    void write_roundTripsAStationProgram();
    void parse_stopsAtShortLine_data();
    void parse_stopsAtShortLine();
    void parse_shortRowKeepsOtherCells();
    void parse_neverWritesOutsideTable_data();
    void parse_neverWritesOutsideTable();
    void parse_survivesBinaryAndBadBig5();
    void parse_leadByteAtLineEndIsReplaced_data();
    void parse_leadByteAtLineEndIsReplaced();

private:
    QTemporaryDir *m_dir = nullptr;
    QString path(const char *name) const { return m_dir->filePath(QString::fromLatin1(name)); }
};

void TestProgramFile::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
}

void TestProgramFile::cleanup()
{
    delete m_dir;
}

void TestProgramFile::format_fixedWidthColumns_data()
{
    QTest::addColumn<Step>("cells");
    QTest::addColumn<QString>("line");
    QTest::newRow("header is 51 characters")
        << ProgramTable::header() << QStringLiteral("FUNCTINO    IN          XPOINT      YPOINT      OUT");
    QTest::newRow("point") << stepOf("POINT|5|100|200|1")
                           << QStringLiteral("POINT       5           100         200         1");
    QTest::newRow("twelve characters still get a space")
        << stepOf("LABLE|ABCDEFGHIJKL|0|0|0") << QStringLiteral("LABLE       ABCDEFGHIJKL 0           0           0");
    QTest::newRow("longer cell gets one space")
        << stepOf("WT|12345678901234|0|0|0") << QStringLiteral("WT          12345678901234 0           0           0");
    QTest::newRow("width counts characters, not bytes")
        << stepOf("LABLE|起點|0|0|0") << QStringLiteral("LABLE       起點          0           0           0");
}

void TestProgramFile::format_fixedWidthColumns()
{
    QFETCH(Step, cells);
    QFETCH(QString, line);
    QCOMPARE(formatProgramLine(cells), line);
    if (cells == ProgramTable::header())
        QCOMPARE(line.size(), 51);
}

void TestProgramFile::split_atRunsOfSpaces_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("runs of spaces") << "POINT   5      100 200       1" << QStringList{"POINT", "5", "100", "200", "1"};
    QTest::newRow("leading space gives empty kind") << "  WT 1000" << QStringList{"", "WT", "1000"};
    QTest::newRow("trailing spaces") << "HOME 0   " << QStringList{"HOME", "0"};
    QTest::newRow("only spaces") << "     " << QStringList{""};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("tab is not a separator") << "A\tB C" << QStringList{"A\tB", "C"};
}

void TestProgramFile::split_atRunsOfSpaces()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QCOMPARE(splitProgramLine(line), fields);
}

void TestProgramFile::write_roundTripsAStationProgram()
{
    int lastRow = 0;
    const ProgramTable table = sampleTable(lastRow);
    QVERIFY(writeProgramFile(path("p.tvx"), table, lastRow));
    const QByteArray bytes = readAll(path("p.tvx"));
    QCOMPARE(bytes.count("\r\n"), lastRow + 1);
    QVERIFY(bytes.contains("\xb0\x5f\xc2\x49")); // 起點 in Big5
    QVERIFY(bytes.startsWith("FUNCTINO    IN          XPOINT      YPOINT      OUT\r\n"));

    ProgramTable other;
    const ProgramFileContents read = parseProgramFile(bytes, other);
    QCOMPARE(read.lastRow, lastRow);
    QVERIFY(!read.rowsCut && !read.fieldsCut);
    for (int r = 0; r <= lastRow; ++r)
        QCOMPARE(read.table.row(r), table.row(r));
}

void TestProgramFile::parse_stopsAtShortLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lastRow");
    const QByteArray header = "FUNCTINO    IN          XPOINT      YPOINT      OUT\r\n";
    const QByteArray step = "HOME        0           0           0           0\r\n";
    QTest::newRow("empty third line") << header + step + "\r\n" + step << 1;
    QTest::newRow("twelve characters end it") << header + "123456789012\r\n" + step << 0;
    QTest::newRow("thirteen characters read") << header + "WT  1 0 0 0 0\r\n" + step << 2;
    QTest::newRow("no final line end") << header + step + step.left(step.size() - 2) << 2;
    QTest::newRow("LF line ends") << QByteArray(header).replace("\r\n", "\n") + QByteArray(step).replace("\r\n", "\n")
                                  << 1;
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("header only") << header << 0;
}

void TestProgramFile::parse_stopsAtShortLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, lastRow);
    QCOMPARE(parseProgramFile(bytes, ProgramTable()).lastRow, lastRow);
}

void TestProgramFile::parse_shortRowKeepsOtherCells()
{
    ProgramTable current;
    current.setRow(1, stepOf("POINT|5|100|200|128"));
    const QByteArray bytes = "FUNCTINO    IN          XPOINT      YPOINT      OUT\r\nWT    1000       77\r\n";
    const ProgramFileContents read = parseProgramFile(bytes, current);
    QCOMPARE(read.lastRow, 1);
    QCOMPARE(read.table.row(1), stepOf("WT|1000|77|200|128"));
}

void TestProgramFile::parse_neverWritesOutsideTable_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("fields");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<bool>("rowsCut");
    QTest::addColumn<bool>("fieldsCut");
    QTest::newRow("exactly 500 steps") << 501 << 5 << 500 << false << false;
    QTest::newRow("10000 lines") << 10000 << 5 << 500 << true << false;
    QTest::newRow("20 fields a line") << 3 << 20 << 2 << false << true;
}

void TestProgramFile::parse_neverWritesOutsideTable()
{
    QFETCH(int, lines);
    QFETCH(int, fields);
    QFETCH(int, lastRow);
    QFETCH(bool, rowsCut);
    QFETCH(bool, fieldsCut);
    QByteArray bytes;
    for (int l = 0; l < lines; ++l) {
        QByteArray line = "WT";
        for (int f = 1; f < fields; ++f)
            line += "   " + QByteArray::number(l * 100 + f);
        bytes += line + "\r\n";
    }
    const ProgramFileContents read = parseProgramFile(bytes, ProgramTable());
    QCOMPARE(read.lastRow, lastRow);
    QCOMPARE(read.rowsCut, rowsCut);
    QCOMPARE(read.fieldsCut, fieldsCut);
    QCOMPARE(read.table.cell(lastRow, 4), QByteArray::number(lastRow * 100 + 4));
}

void TestProgramFile::parse_survivesBinaryAndBadBig5()
{
    QByteArray noise;
    quint32 seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise.append(char(seed >> 16));
    }
    // Read over a full table: the rows past the steps the reader reports must be left
    // as they were.
    ProgramTable before;
    for (int r = 0; r < ProgramTable::kRows; ++r)
        before.setRow(r, stepOf(QStringLiteral("WT|%1").arg(r)));
    const ProgramFileContents read = parseProgramFile(noise, before);
    for (int r = read.lastRow + 1; r < ProgramTable::kRows; ++r)
        QCOMPARE(read.table.row(r), before.row(r));

    const QByteArray badBig5 = "LABLE       \xff\xfe\x81       0           0           0\r\n";
    const ProgramFileContents bad =
        parseProgramFile("FUNCTINO    IN          XPOINT      YPOINT      OUT\r\n" + badBig5, ProgramTable());
    QCOMPARE(bad.lastRow, 1);
    QCOMPARE(bad.table.cell(1, 0), QStringLiteral("LABLE"));
    QCOMPARE(bad.table.cell(1, 2), QStringLiteral("0"));
}

void TestProgramFile::parse_leadByteAtLineEndIsReplaced_data()
{
    QTest::addColumn<QByteArray>("end");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("end of file") << QByteArray();
}

void TestProgramFile::parse_leadByteAtLineEndIsReplaced()
{
    QFETCH(QByteArray, end);
    const QByteArray line = "LABLE       CD          0           0           0\xA4" + end;
    const ProgramFileContents read =
        parseProgramFile("FUNCTINO    IN          XPOINT      YPOINT      OUT\r\n" + line, ProgramTable());
    QCOMPARE(read.lastRow, 1);
    QCOMPARE(read.table.cell(1, 4), QStringLiteral("0\uFFFD"));
    QCOMPARE(findNonBig5Row(read.table, read.lastRow), 1); // so it cannot be saved unseen
}

QTEST_GUILESS_MAIN(TestProgramFile)
#include "tst_programfile.moc"

#include "core/big5.h"
#include "files/programfile.h"
#include "files/programfileactions.h"
#include "table/editstate.h"
#include "testing/recordingsteplist.h"
#include "testing/scriptedoperator.h"
#include "testing/stepbuilder.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace talvex;
using namespace talvex::testing;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
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

    void saveAs_writesOnlyNamedNonEmptyProgram_data();
    void saveAs_writesOnlyNamedNonEmptyProgram();
    void saveAs_pausesStatusPollOnEveryPath();
    void save_unreadableCellAsksFirst_data();
    void save_unreadableCellAsksFirst();
    void save_characterBig5CannotHoldIsRefused();
    void save_lineTheReaderWouldCutIsRefused_data();
    void save_lineTheReaderWouldCutIsRefused();
    void saveAndOpen_onlyRegularFiles_data();
    void saveAndOpen_onlyRegularFiles();
    void save_headerBig5CannotHoldIsReplacedOnce_data();
    void save_headerBig5CannotHoldIsReplacedOnce();
    void new_stateTable_data();
    void new_stateTable();
    void open_readsFileAndResetsState();
    void open_cancelOrUnreadableChangesNothing_data();
    void open_cancelOrUnreadableChangesNothing();
    void open_tellsOperatorWhatWasCut();

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
    QVERIFY(WriteProgramFile(path("p.tvx"), table, lastRow));
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

void TestProgramFile::saveAs_writesOnlyNamedNonEmptyProgram_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<bool>("written");
    QTest::newRow("named program") << true << false << true;
    QTest::newRow("cancelled dialog") << false << false << false;
    QTest::newRow("empty program") << true << true << false;
}

void TestProgramFile::saveAs_writesOnlyNamedNonEmptyProgram()
{
    QFETCH(bool, named);
    QFETCH(bool, empty);
    QFETCH(bool, written);
    EditState edit;
    ProgramTable table = sampleTable(edit.LastRow);
    if (empty)
        edit.LastRow = 0;
    edit.Dirty = true;
    writeAll(path("old.tvx"), "old contents");
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);
    if (named)
        op.answerFile(path("old.tvx"));
    else
        op.answerCancel();
    actions.SaveProgramAs();
    QCOMPARE(op.shown().front().filter, QStringLiteral("TALVEX程式檔(*.tvx) | *.tvx"));
    QCOMPARE(readAll(path("old.tvx")) != "old contents", written);
    QVERIFY(edit.Dirty);
    QCOMPARE(list.rebuilds, 0);
}

void TestProgramFile::saveAs_pausesStatusPollOnEveryPath()
{
    EditState edit;
    ProgramTable table = sampleTable(edit.LastRow);
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);
    QStringList calls;
    bool pollRunningDuringDialog = true;
    actions.pauseStatusPoll = [&] {
        calls << QStringLiteral("pause");
        return true;
    };
    actions.resumeStatusPoll = [&] { calls << QStringLiteral("resume"); };
    op.onShow = [&](const ScriptedOperator::Shown &) {
        pollRunningDuringDialog = calls.last() != QLatin1String("pause");
    };
    op.answerCancel();
    actions.SaveProgramAs();
    op.answerFile(path("a.tvx"));
    actions.SaveProgramAs();
    QCOMPARE(calls, (QStringList{"pause", "resume", "pause", "resume"}));
    QVERIFY(!pollRunningDuringDialog);
}

void TestProgramFile::save_unreadableCellAsksFirst_data()
{
    QTest::addColumn<Step>("cells");
    QTest::addColumn<bool>("answerOk");
    QTest::addColumn<bool>("written");
    QTest::newRow("label with space, OK") << stepOf("LABLE|A B|0|0|0") << true << true;
    QTest::newRow("label with space, Cancel") << stepOf("LABLE|A B|0|0|0") << false << false;
    QTest::newRow("empty X, Cancel") << stepOf("POINT|0||5|0") << false << false;
}

void TestProgramFile::save_unreadableCellAsksFirst()
{
    QFETCH(Step, cells);
    QFETCH(bool, answerOk);
    QFETCH(bool, written);
    EditState edit;
    ProgramTable table = sampleTable(edit.LastRow);
    table.setRow(3, cells);
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);
    op.answerFile(path("q.tvx"));
    if (answerOk)
        op.answerOk();
    else
        op.answerCancel();
    actions.SaveProgramAs();
    QCOMPARE(op.shown().size(), size_t(2));
    QCOMPARE(op.shown()[1].kind, ScriptedOperator::Kind::OkCancel);
    QVERIFY(op.shown()[1].text.contains(QStringLiteral("第 3 行")));
    QCOMPARE(QFile::exists(path("q.tvx")), written);
}

void TestProgramFile::save_characterBig5CannotHoldIsRefused()
{
    EditState edit;
    ProgramTable table = sampleTable(edit.LastRow);
    table.setCell(2, 1, QStringLiteral("标签"));
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);
    op.answerFile(path("b.tvx"));
    actions.SaveProgramAs();
    QCOMPARE(op.notices().size(), 1);
    QVERIFY(op.notices().at(0).contains(QStringLiteral("第 2 行")));
    QVERIFY(op.notices().at(0).contains(QStringLiteral("标")));
    QVERIFY(!QFile::exists(path("b.tvx")));
}

void TestProgramFile::save_lineTheReaderWouldCutIsRefused_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("refusal"); // empty: written and read back whole
    QTest::newRow("OUT of 5000") << 4 << 5000 << QStringLiteral("第 1 行的「OUT」欄超過 4048 個字");
    QTest::newRow("IN of 5000") << 1 << 5000 << QStringLiteral("第 1 行的「IN或數據」欄超過 4058 個字");
    QTest::newRow("OUT just fits") << 4 << 4048 << QString();
}

void TestProgramFile::save_lineTheReaderWouldCutIsRefused()
{
    QFETCH(int, column);
    QFETCH(int, length);
    QFETCH(QString, refusal);
    EditState edit;
    ProgramTable table;
    table.writeHeader();
    table.setRow(1, stepOf("HOME|0|0|0|0"));
    table.setCell(1, column, QString(length, QLatin1Char('7')));
    edit.LastRow = 1;
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);
    op.answerFile(path("long.tvx"));
    QCOMPARE(actions.SaveProgramAs(), refusal.isEmpty());
    if (!refusal.isEmpty()) {
        QCOMPARE(op.notices().size(), 1);
        QVERIFY2(op.notices().at(0).startsWith(refusal), qPrintable(op.notices().at(0)));
        QVERIFY(!QFile::exists(path("long.tvx")));
        return;
    }
    const ProgramFileContents read = parseProgramFile(readAll(path("long.tvx")), ProgramTable());
    QVERIFY(!read.linesCut);
    QCOMPARE(read.table.row(1), table.row(1));
}

void TestProgramFile::saveAndOpen_onlyRegularFiles_data()
{
    QTest::addColumn<QString>("thing");
    QTest::newRow("named pipe") << "fifo";
    QTest::newRow("device") << "device";
    QTest::newRow("link to an endless device") << "zero";
}

void TestProgramFile::saveAndOpen_onlyRegularFiles()
{
    QFETCH(QString, thing);
    const QString it = path("it.tvx");
    const QByteArray name = QFile::encodeName(it);
    if (thing == "fifo")
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    else if (thing == "zero") // only ever read: the test opens no writer on it
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), it));
    else if (::geteuid() != 0)
        QSKIP("a device node needs root");
    else // the null device's numbers, made in the test's own folder
        QCOMPARE(::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)), 0);

    EditState edit;
    ProgramTable table = sampleTable(edit.LastRow);
    const ProgramTable before = table;
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);
    op.answerFile(it);
    QVERIFY(!actions.OpenProgram());
    QCOMPARE(op.notices().value(0), QStringLiteral("無法開啟檔案 %1 !\n%1 不是一般檔案, 無法讀取!").arg(it));
    if (thing != "zero") { // no writer is ever pointed at a link into /dev
        op.answerFile(it);
        QVERIFY(!actions.SaveProgramAs());
        QCOMPARE(op.notices().value(1), QStringLiteral("無法寫入檔案 %1 !\n%1 不是一般檔案, 無法寫入!").arg(it));
    }
    QVERIFY(!QFileInfo(it).isFile());
    QCOMPARE(table.row(1), before.row(1));
    QCOMPARE(list.rebuilds, 0);
}

void TestProgramFile::save_headerBig5CannotHoldIsReplacedOnce_data()
{
    QTest::addColumn<QByteArray>("headerLine");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("undecodable bytes") << QByteArray("FUNCTINO\xff\xfe  IN          XPOINT      YPOINT      OUT")
                                       << true;
    QTest::newRow("a header of its own in Big5")
        << encodeBig5(formatProgramLine(stepOf(QStringLiteral("步驟|IN|XPOINT|YPOINT|OUT")))).bytes << false;
}

void TestProgramFile::save_headerBig5CannotHoldIsReplacedOnce()
{
    QFETCH(QByteArray, headerLine);
    QFETCH(bool, replaced);
    const QByteArray step = "HOME        0           0           0           0\r\n";
    writeAll(path("in.tvx"), headerLine + "\r\n" + step);
    EditState edit;
    ProgramTable table;
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);
    op.answerFile(path("in.tvx"));
    QVERIFY(actions.OpenProgram());
    op.answerFile(path("first.tvx"));
    actions.SaveProgramAs();
    op.answerFile(path("second.tvx"));
    actions.SaveProgramAs();

    const QByteArray header =
        replaced ? "FUNCTINO    IN          XPOINT      YPOINT      OUT\r\n" : headerLine + "\r\n";
    QCOMPARE(readAll(path("first.tvx")), header + step);
    QCOMPARE(readAll(path("second.tvx")), header + step);
    QCOMPARE(op.notices().size(), replaced ? 1 : 0);
    for (const ScriptedOperator::Shown &shown : op.shown()) {
        if (shown.kind == ScriptedOperator::Kind::Notice)
            QCOMPARE(shown.title, QStringLiteral("訊息"));
    }

    edit.Dirty = false;
    QVERIFY(actions.NewProgram());
    QCOMPARE(table.row(0), ProgramTable::header());
}

void TestProgramFile::new_stateTable_data()
{
    QTest::addColumn<bool>("dirty");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<int>("answer"); // 0 cancel, 1 OK with name, 2 OK without name
    QTest::addColumn<bool>("reset");
    QTest::addColumn<bool>("dirtyAfter");
    QTest::addColumn<bool>("written");
    QTest::newRow("not dirty") << false << false << -1 << true << false << false;
    QTest::newRow("OK, program not empty") << true << false << 1 << true << false << true;
    QTest::newRow("OK, program empty") << true << true << 1 << false << true << false;
    QTest::newRow("OK, no name") << true << false << 2 << false << true << false;
    QTest::newRow("Cancel discards") << true << false << 0 << true << true << false;
}

void TestProgramFile::new_stateTable()
{
    QFETCH(bool, dirty);
    QFETCH(bool, empty);
    QFETCH(int, answer);
    QFETCH(bool, reset);
    QFETCH(bool, dirtyAfter);
    QFETCH(bool, written);
    EditState edit;
    ProgramTable table = sampleTable(edit.LastRow);
    if (empty)
        edit.LastRow = 0;
    edit.CurrentRow = edit.LastRow;
    edit.Dirty = dirty;
    const int lastBefore = edit.LastRow;
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);
    if (answer == 0) {
        op.answerCancel();
    } else if (answer > 0) {
        op.answerOk();
        if (answer == 1)
            op.answerFile(path("n.tvx"));
        else
            op.answerCancel();
    }
    QCOMPARE(actions.NewProgram(), reset);
    if (dirty) {
        QCOMPARE(op.shown().front().text, QStringLiteral("尚未存檔, 是否要存檔 ?"));
        QCOMPARE(op.shown().front().title, QString());
        QCOMPARE(op.shown().front().icon, Operator::Icon::Question);
    }
    QCOMPARE(edit.LastRow, reset ? 0 : lastBefore);
    QCOMPARE(edit.CurrentRow, reset ? 0 : lastBefore);
    QCOMPARE(edit.Dirty, dirtyAfter);
    QCOMPARE(list.rebuilds, reset ? 1 : 0);
    QCOMPARE(QFile::exists(path("n.tvx")), written);
    QCOMPARE(table.row(0), ProgramTable::header());
    QCOMPARE(op.unscripted(), 0);
}

void TestProgramFile::open_readsFileAndResetsState()
{
    int lastRow = 0;
    const ProgramTable written = sampleTable(lastRow);
    QVERIFY(WriteProgramFile(path("o.tvx"), written, lastRow));
    EditState edit;
    edit.Dirty = true;
    edit.CurrentRow = 0;
    ProgramTable table;
    table.writeHeader();
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);
    op.answerFile(path("o.tvx"));
    QVERIFY(actions.OpenProgram());
    QCOMPARE(edit.LastRow, 4);
    QCOMPARE(edit.CurrentRow, 1);
    QVERIFY(!edit.Dirty);
    QCOMPARE(list.items.size(), 4);
    QCOMPARE(table.cell(2, 1), QStringLiteral("起點"));
    QCOMPARE(actions.programFileName(), path("o.tvx"));
    QVERIFY(op.notices().isEmpty());
}

void TestProgramFile::open_cancelOrUnreadableChangesNothing_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("notice");
    QTest::newRow("cancelled") << QString() << false;
    QTest::newRow("missing file") << "missing.tvx" << true;
    QTest::newRow("a directory") << "." << true;
}

void TestProgramFile::open_cancelOrUnreadableChangesNothing()
{
    QFETCH(QString, answer);
    QFETCH(bool, notice);
    EditState edit;
    ProgramTable table = sampleTable(edit.LastRow);
    edit.CurrentRow = 3;
    edit.Dirty = true;
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);
    if (answer.isEmpty())
        op.answerCancel();
    else
        op.answerFile(m_dir->filePath(answer));
    QVERIFY(!actions.OpenProgram());
    QCOMPARE(edit.LastRow, 4);
    QCOMPARE(edit.CurrentRow, 3);
    QVERIFY(edit.Dirty);
    QCOMPARE(list.rebuilds, 0);
    QCOMPARE(op.notices().size(), notice ? 1 : 0);
}

void TestProgramFile::open_tellsOperatorWhatWasCut()
{
    QByteArray bytes;
    for (int l = 0; l < 600; ++l)
        bytes += "HOME        0           0           0           0   extra\r\n";
    writeAll(path("big.tvx"), bytes);
    EditState edit;
    ProgramTable table;
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);
    op.answerFile(path("big.tvx"));
    QVERIFY(actions.OpenProgram());
    QCOMPARE(edit.LastRow, 500);
    QCOMPARE(op.notices().size(), 1);
    QVERIFY(op.notices().at(0).contains(QStringLiteral("500")));
    QVERIFY(op.notices().at(0).contains(QStringLiteral("欄位")));
    QCOMPARE(op.shown().back().title, QStringLiteral("訊息"));
}

QTEST_GUILESS_MAIN(TestProgramFile)
#include "tst_programfile.moc"

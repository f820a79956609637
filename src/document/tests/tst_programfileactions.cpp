#include "core/big5.h"
#include "document/programdocument.h"
#include "document/programfileactions.h"
#include "files/programfile.h"
#include "testing/filekinds.h"
#include "testing/recordingsteplist.h"
#include "testing/scriptedoperator.h"
#include "testing/stepbuilder.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace talvex;
using namespace talvex::testing;

namespace {

/// A station-made program: a point, a Chinese label, a jump, a delay.
const QStringList kSample = {"POINT|5|100|200.5|1", "LABLE|起點|0|0|0", "GLABLE|起點|0|0|0", "WT|1000|0|0|0"};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

/// The file commands on a document that holds @p table: the list follows the document
/// from then on, so its rebuilds count what the commands did.
struct Files
{
    Files(const ProgramTable &table, int lastRow, bool dirty)
    {
        document.replaceProgram(table, lastRow, {});
        document.setDirty(dirty);
        bindStepList(document, list);
    }
    ProgramDocument document;
    PendingEdit edit;
    RecordingStepList list;
    ScriptedOperator op;
    ProgramFileActions actions{document, edit, op};
};

} // namespace

class TestProgramFileActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

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
    QString path(const char *name) const { return m_dir->filePath(QString::fromUtf8(name)); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestProgramFileActions::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestProgramFileActions::cleanup()
{
    m_dir.reset();
}

void TestProgramFileActions::saveAs_writesOnlyNamedNonEmptyProgram_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<bool>("written");
    QTest::newRow("named program") << true << false << true;
    QTest::newRow("cancelled dialog") << false << false << false;
    QTest::newRow("empty program") << true << true << false;
}

void TestProgramFileActions::saveAs_writesOnlyNamedNonEmptyProgram()
{
    QFETCH(bool, named);
    QFETCH(bool, empty);
    QFETCH(bool, written);
    ProgramTable table = tableOf(kSample);
    int lastRow = kSample.size();
    bool dirty = false;
    if (empty)
        lastRow = 0;
    dirty = true;
    QVERIFY(writeAll(path("old.tvx"), "old contents"));
    Files files(table, lastRow, dirty);
    ScriptedOperator &op = files.op;
    ProgramFileActions &actions = files.actions;
    if (named)
        op.answerFile(path("old.tvx"));
    else
        op.answerCancel();
    actions.saveProgramAs();
    QCOMPARE(op.shown().front().filter, QStringLiteral("TALVEX程式檔(*.tvx) | *.tvx"));
    QCOMPARE(readAll(path("old.tvx")) != "old contents", written);
    QVERIFY(files.document.isDirty());
    QCOMPARE(files.list.rebuilds, 0);
}

void TestProgramFileActions::saveAs_pausesStatusPollOnEveryPath()
{
    ProgramTable table = tableOf(kSample);
    int lastRow = kSample.size();
    bool dirty = false;
    Files files(table, lastRow, dirty);
    ScriptedOperator &op = files.op;
    ProgramFileActions &actions = files.actions;
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
    actions.saveProgramAs();
    op.answerFile(path("a.tvx"));
    actions.saveProgramAs();
    QCOMPARE(calls, (QStringList{"pause", "resume", "pause", "resume"}));
    QVERIFY(!pollRunningDuringDialog);
}

void TestProgramFileActions::save_unreadableCellAsksFirst_data()
{
    QTest::addColumn<Step>("cells");
    QTest::addColumn<bool>("answerOk");
    QTest::addColumn<bool>("written");
    QTest::newRow("label with space, OK") << stepOf("LABLE|A B|0|0|0") << true << true;
    QTest::newRow("label with space, Cancel") << stepOf("LABLE|A B|0|0|0") << false << false;
    QTest::newRow("empty X, Cancel") << stepOf("POINT|0||5|0") << false << false;
}

void TestProgramFileActions::save_unreadableCellAsksFirst()
{
    QFETCH(Step, cells);
    QFETCH(bool, answerOk);
    QFETCH(bool, written);
    ProgramTable table = tableOf(kSample);
    int lastRow = kSample.size();
    bool dirty = false;
    table.setRow(3, cells);
    Files files(table, lastRow, dirty);
    ScriptedOperator &op = files.op;
    ProgramFileActions &actions = files.actions;
    op.answerFile(path("q.tvx"));
    if (answerOk)
        op.answerOk();
    else
        op.answerCancel();
    actions.saveProgramAs();
    QCOMPARE(op.shown().size(), size_t(2));
    QCOMPARE(op.shown()[1].kind, ScriptedOperator::Kind::OkCancel);
    QVERIFY(op.shown()[1].text.contains(QStringLiteral("第 3 行")));
    QCOMPARE(QFile::exists(path("q.tvx")), written);
}

void TestProgramFileActions::save_characterBig5CannotHoldIsRefused()
{
    ProgramTable table = tableOf(kSample);
    int lastRow = kSample.size();
    bool dirty = false;
    table.setCell(2, 1, QStringLiteral("标签"));
    Files files(table, lastRow, dirty);
    ScriptedOperator &op = files.op;
    ProgramFileActions &actions = files.actions;
    op.answerFile(path("b.tvx"));
    actions.saveProgramAs();
    QCOMPARE(op.notices().size(), 1);
    QVERIFY(op.notices().at(0).contains(QStringLiteral("第 2 行")));
    QVERIFY(op.notices().at(0).contains(QStringLiteral("标")));
    QVERIFY(!QFile::exists(path("b.tvx")));
}

void TestProgramFileActions::save_headerBig5CannotHoldIsReplacedOnce_data()
{
    QTest::addColumn<QByteArray>("headerLine");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("undecodable bytes") << QByteArray("FUNCTINO\xff\xfe  IN          XPOINT      YPOINT      OUT")
                                       << true;
    QTest::newRow("a header of its own in Big5")
        << encodeBig5(formatProgramLine(stepOf(QStringLiteral("步驟|IN|XPOINT|YPOINT|OUT")))).bytes << false;
}

void TestProgramFileActions::save_headerBig5CannotHoldIsReplacedOnce()
{
    QFETCH(QByteArray, headerLine);
    QFETCH(bool, replaced);
    const QByteArray step = "HOME        0           0           0           0\r\n";
    QVERIFY(writeAll(path("in.tvx"), headerLine + "\r\n" + step));
    Files files(ProgramTable(), 0, false);
    ScriptedOperator &op = files.op;
    ProgramFileActions &actions = files.actions;
    op.answerFile(path("in.tvx"));
    QVERIFY(actions.openProgram());
    op.answerFile(path("first.tvx"));
    actions.saveProgramAs();
    op.answerFile(path("second.tvx"));
    actions.saveProgramAs();

    const QByteArray header =
        replaced ? "FUNCTINO    IN          XPOINT      YPOINT      OUT\r\n" : headerLine + "\r\n";
    QCOMPARE(readAll(path("first.tvx")), header + step);
    QCOMPARE(readAll(path("second.tvx")), header + step);
    QCOMPARE(op.notices().size(), replaced ? 1 : 0);
    for (const ScriptedOperator::Shown &shown : op.shown()) {
        if (shown.kind == ScriptedOperator::Kind::Notice)
            QCOMPARE(shown.title, QStringLiteral("訊息"));
    }

    files.document.setDirty(false);
    QVERIFY(actions.newProgram());
    QCOMPARE(files.document.table().row(0), ProgramTable::header());
}

void TestProgramFileActions::new_stateTable_data()
{
    QTest::addColumn<bool>("dirty");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<int>("answer"); // 0 No, 1 Yes with name, 2 Yes without name, 3 Cancel
    QTest::addColumn<bool>("reset");
    QTest::addColumn<bool>("dirtyAfter");
    QTest::addColumn<bool>("written");
    QTest::newRow("not dirty") << false << false << -1 << true << false << false;
    QTest::newRow("OK, program not empty") << true << false << 1 << true << false << true;
    QTest::newRow("OK, program empty") << true << true << 1 << false << true << false;
    QTest::newRow("OK, no name") << true << false << 2 << false << true << false;
    QTest::newRow("No discards") << true << false << 0 << true << true << false;
    QTest::newRow("Cancel keeps the program") << true << false << 3 << false << true << false;
}

void TestProgramFileActions::new_stateTable()
{
    QFETCH(bool, dirty);
    QFETCH(bool, empty);
    QFETCH(int, answer);
    QFETCH(bool, reset);
    QFETCH(bool, dirtyAfter);
    QFETCH(bool, written);
    const ProgramTable table = tableOf(kSample);
    const int lastBefore = empty ? 0 : kSample.size();
    Files files(table, lastBefore, dirty);
    files.edit.CurrentRow = lastBefore;
    ScriptedOperator &op = files.op;
    ProgramFileActions &actions = files.actions;
    if (answer == 0) {
        op.answerNo();
    } else if (answer == 3) {
        op.answerCancel();
    } else if (answer > 0) {
        op.answerYes();
        if (answer == 1)
            op.answerFile(path("n.tvx"));
        else
            op.answerCancel();
    }
    QCOMPARE(actions.newProgram(), reset);
    if (dirty) {
        QCOMPARE(op.shown().front().text, QStringLiteral("尚未存檔, 是否要存檔 ?"));
        QCOMPARE(op.shown().front().title, QString());
        QCOMPARE(op.shown().front().icon, Operator::Icon::Question);
        QCOMPARE(op.shown().front().kind, ScriptedOperator::Kind::YesNoCancel);
    }
    QCOMPARE(files.document.lastRow(), reset ? 0 : lastBefore);
    QCOMPARE(files.edit.CurrentRow, reset ? 0 : lastBefore);
    QCOMPARE(files.document.isDirty(), dirtyAfter);
    QCOMPARE(files.list.rebuilds, reset ? 1 : 0);
    QCOMPARE(QFile::exists(path("n.tvx")), written);
    QCOMPARE(files.document.table().row(0), ProgramTable::header());
    QCOMPARE(op.unscripted(), 0);
}

void TestProgramFileActions::open_readsFileAndResetsState()
{
    QVERIFY(writeProgramFile(path("o.tvx"), tableOf(kSample), kSample.size()));
    Files files(tableOf({}), 0, true);
    ScriptedOperator &op = files.op;
    ProgramFileActions &actions = files.actions;
    op.answerFile(path("o.tvx"));
    QVERIFY(actions.openProgram());
    QCOMPARE(files.document.lastRow(), 4);
    QCOMPARE(files.edit.CurrentRow, 1);
    QVERIFY(!files.document.isDirty());
    QCOMPARE(files.list.items.size(), 4);
    QCOMPARE(files.document.table().cell(2, 1), QStringLiteral("起點"));
    QCOMPARE(actions.programFileName(), path("o.tvx"));
    QVERIFY(op.notices().isEmpty());
}

void TestProgramFileActions::open_cancelOrUnreadableChangesNothing_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("notice");
    QTest::newRow("cancelled") << QString() << false;
    QTest::newRow("missing file") << "missing.tvx" << true;
    QTest::newRow("a directory") << "." << true;
}

void TestProgramFileActions::open_cancelOrUnreadableChangesNothing()
{
    QFETCH(QString, answer);
    QFETCH(bool, notice);
    Files files(tableOf(kSample), kSample.size(), true);
    files.edit.CurrentRow = 3;
    ScriptedOperator &op = files.op;
    ProgramFileActions &actions = files.actions;
    if (answer.isEmpty())
        op.answerCancel();
    else
        op.answerFile(m_dir->filePath(answer));
    QVERIFY(!actions.openProgram());
    QCOMPARE(files.document.lastRow(), 4);
    QCOMPARE(files.edit.CurrentRow, 3);
    QVERIFY(files.document.isDirty());
    QCOMPARE(files.list.rebuilds, 0);
    QCOMPARE(op.notices().size(), notice ? 1 : 0);
}

void TestProgramFileActions::open_tellsOperatorWhatWasCut()
{
    QByteArray bytes;
    for (int l = 0; l < 600; ++l)
        bytes += "HOME        0           0           0           0   extra\r\n";
    QVERIFY(writeAll(path("big.tvx"), bytes));
    Files files(ProgramTable(), 0, false);
    ScriptedOperator &op = files.op;
    ProgramFileActions &actions = files.actions;
    op.answerFile(path("big.tvx"));
    QVERIFY(actions.openProgram());
    QCOMPARE(files.document.lastRow(), 500);
    QCOMPARE(op.notices().size(), 1);
    QVERIFY(op.notices().at(0).contains(QStringLiteral("500")));
    QVERIFY(op.notices().at(0).contains(QStringLiteral("欄位")));
    QCOMPARE(op.shown().back().title, QStringLiteral("訊息"));
}

void TestProgramFileActions::save_lineTheReaderWouldCutIsRefused_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("refusal"); // empty: written and read back whole
    QTest::newRow("OUT of 5000") << 4 << 5000 << QStringLiteral("第 1 行的「OUT」欄超過 4048 個字");
    QTest::newRow("IN of 5000") << 1 << 5000 << QStringLiteral("第 1 行的「IN或數據」欄超過 4058 個字");
    QTest::newRow("OUT just fits") << 4 << 4048 << QString();
}

void TestProgramFileActions::save_lineTheReaderWouldCutIsRefused()
{
    QFETCH(int, column);
    QFETCH(int, length);
    QFETCH(QString, refusal);
    ProgramTable table = tableOf({"HOME"});
    table.setCell(1, column, QString(length, QLatin1Char('7')));
    Files files(table, 1, false);
    ScriptedOperator &op = files.op;
    op.answerFile(path("long.tvx"));
    QCOMPARE(files.actions.saveProgramAs(), refusal.isEmpty());
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

void TestProgramFileActions::saveAndOpen_onlyRegularFiles_data()
{
    QTest::addColumn<QString>("thing");
    QTest::newRow("named pipe") << "fifo";
    QTest::newRow("device") << "device";
    QTest::newRow("link to an endless device") << "zero";
}

void TestProgramFileActions::saveAndOpen_onlyRegularFiles()
{
    QFETCH(QString, thing);
    const QString it = path("it.tvx");
    // A device has the null device's numbers, made in the test's own folder; the link
    // to /dev/zero is only ever read: the test opens no writer on it.
    const FileKind kind = thing == "fifo"   ? FileKind::NamedPipe
                          : thing == "zero" ? FileKind::SymbolicLink
                                            : FileKind::Device;
    if (!canMakeFileKind(kind))
        QSKIP(whyNoFileKind(kind));
    QVERIFY(makeFileKind(kind, it, QStringLiteral("/dev/zero")));

    const ProgramTable before = tableOf(kSample);
    Files files(before, kSample.size(), false);
    ScriptedOperator &op = files.op;
    op.answerFile(it);
    QVERIFY(!files.actions.openProgram());
    QCOMPARE(op.notices().value(0), QStringLiteral("無法開啟檔案 %1 !\n%1 不是一般檔案, 無法讀取!").arg(it));
    if (thing != "zero") { // no writer is ever pointed at a link into /dev
        op.answerFile(it);
        QVERIFY(!files.actions.saveProgramAs());
        QCOMPARE(op.notices().value(1), QStringLiteral("無法寫入檔案 %1 !\n%1 不是一般檔案, 無法寫入!").arg(it));
    }
    QVERIFY(!QFileInfo(it).isFile());
    QCOMPARE(files.document.table().row(1), before.row(1));
    QCOMPARE(files.list.rebuilds, 0);
}

QTEST_GUILESS_MAIN(TestProgramFileActions)
#include "tst_programfileactions.moc"

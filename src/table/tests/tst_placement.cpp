#include "table/editstate.h"
#include "table/placement.h"
#include "table/stepkind.h"
#include "table/steplist.h"
#include "testing/recordingsteplist.h"
#include "testing/stepbuilder.h"

#include <QTest>

using namespace talvex;
using namespace talvex::testing;

Q_DECLARE_METATYPE(talvex::StepKind)

namespace {

/// A table with the header and the given kinds as steps (datum = row number).
ProgramTable tableOf(const QStringList &kinds, EditState &state)
{
    ProgramTable table;
    table.writeHeader();
    for (int i = 0; i < kinds.size(); ++i)
        table.setRow(i + 1, stepOf(kinds.at(i) + QLatin1Char('|') + QString::number(i + 1)));
    state.LastRow = static_cast<int>(kinds.size());
    return table;
}

QStringList kindsOf(const ProgramTable &table, const EditState &state)
{
    QStringList kinds;
    for (int r = 1; r <= state.LastRow; ++r) {
        const StepRow row = table.stepRow(r);
        kinds << row.kindText() + QLatin1Char(':') + row.datum();
    }
    return kinds;
}

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void armAppend_onlyWhenNoInsertOrModifyPending_data();
    void armAppend_onlyWhenNoInsertOrModifyPending();
    void placeRows_followsPendingRequest_data();
    void placeRows_followsPendingRequest();
    void placeRows_nothingPendingChangesNothing();
    void placeRows_insertThenNextStepAppends();
    void placeRows_refusedAtFiveHundredSteps_data();
    void placeRows_refusedAtFiveHundredSteps();
    void placeRows_requestOnVanishedRowNeverTouchesHeader_data();
    void placeRows_requestOnVanishedRowNeverTouchesHeader();
    void placePointRows_firstPendingBlockOnly_data();
    void placePointRows_firstPendingBlockOnly();
    void deleteRow_closesGap_data();
    void deleteRow_closesGap();
    void deleteRow_notAStepRowDoesNothing_data();
    void deleteRow_notAStepRowDoesNothing();
    void showIt_mirrorsRowsWithIcons();
    void iconIndexOf_exactCaseSensitiveLiterals();
    void stepRow_kindAndColumnsByName_data();
    void stepRow_kindAndColumnsByName();
    void table_accessOutsideIsHarmless();
};

void TestPlacement::armAppend_onlyWhenNoInsertOrModifyPending_data()
{
    QTest::addColumn<bool>("insert");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<bool>("armed");
    QTest::newRow("nothing pending") << false << false << true;
    QTest::newRow("insert pending") << true << false << false;
    QTest::newRow("modify pending") << false << true << false;
    QTest::newRow("both pending") << true << true << false;
}

void TestPlacement::armAppend_onlyWhenNoInsertOrModifyPending()
{
    QFETCH(bool, insert);
    QFETCH(bool, modify);
    QFETCH(bool, armed);
    EditState state;
    state.InsertMode = insert;
    state.ModifyMode = modify;
    armAppend(state);
    QCOMPARE(state.AppendMode, armed);
}

void TestPlacement::placeRows_followsPendingRequest_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<bool>("append");
    QTest::addColumn<bool>("insert");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("currentAfter");

    const QStringList three = {"POINT", "WT", "HOME"};
    QTest::newRow("append to empty") << QStringList() << 0 << true << false << false << QStringList{"VM:x"} << 1;
    QTest::newRow("append after three") << three << 2 << true << false << false
                                        << QStringList{"POINT:1", "WT:2", "HOME:3", "VM:x"} << 4;
    QTest::newRow("insert at row 1") << three << 1 << false << true << false
                                     << QStringList{"VM:x", "POINT:1", "WT:2", "HOME:3"} << 1;
    QTest::newRow("insert at last row") << three << 3 << false << true << false
                                        << QStringList{"POINT:1", "WT:2", "VM:x", "HOME:3"} << 3;
    QTest::newRow("modify keeps count") << three << 2 << false << false << true
                                        << QStringList{"POINT:1", "VM:x", "HOME:3"} << 2;
    QTest::newRow("insert and modify make one row")
        << three << 2 << false << true << true << QStringList{"POINT:1", "VM:x", "WT:2", "HOME:3"} << 2;
}

void TestPlacement::placeRows_followsPendingRequest()
{
    QFETCH(QStringList, before);
    QFETCH(int, currentRow);
    QFETCH(bool, append);
    QFETCH(bool, insert);
    QFETCH(bool, modify);
    QFETCH(QStringList, after);
    QFETCH(int, currentAfter);

    EditState state;
    ProgramTable table = tableOf(before, state);
    state.CurrentRow = currentRow;
    state.AppendMode = append;
    state.InsertMode = insert;
    state.ModifyMode = modify;

    QCOMPARE(placeRows(table, state, stepOf(QStringLiteral("VM|x"))), Placement::Placed);
    QCOMPARE(kindsOf(table, state), after);
    QCOMPARE(state.LastRow, after.size());
    QCOMPARE(state.CurrentRow, currentAfter);
    QVERIFY(!state.AppendMode && !state.InsertMode && !state.ModifyMode);
    QCOMPARE(table.row(0), ProgramTable::header());
    // A modify writes all five cells: X, Y and OUT of the old row do not survive.
    QCOMPARE(table.cell(currentAfter, 2), QStringLiteral("0"));
}

void TestPlacement::placeRows_nothingPendingChangesNothing()
{
    EditState state;
    ProgramTable table = tableOf({"WT"}, state);
    state.CurrentRow = 1;
    QCOMPARE(placeRows(table, state, stepOf(QStringLiteral("HOME"))), Placement::Nothing);
    QCOMPARE(kindsOf(table, state), QStringList{"WT:1"});
}

void TestPlacement::placeRows_insertThenNextStepAppends()
{
    EditState state;
    ProgramTable table = tableOf({"WT", "HOME"}, state);
    state.CurrentRow = 1;
    state.InsertMode = true;
    placeRows(table, state, stepOf(QStringLiteral("VM|a")));
    armAppend(state);
    placeRows(table, state, stepOf(QStringLiteral("VM|b")));
    QCOMPARE(kindsOf(table, state), (QStringList{"VM:a", "WT:1", "HOME:2", "VM:b"}));
}

void TestPlacement::placeRows_refusedAtFiveHundredSteps_data()
{
    QTest::addColumn<bool>("append");
    QTest::addColumn<bool>("insert");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<int>("outcome");
    QTest::newRow("append") << true << false << false << int(Placement::Full);
    QTest::newRow("insert") << false << true << false << int(Placement::Full);
    QTest::newRow("insert and modify") << false << true << true << int(Placement::Full);
    QTest::newRow("modify still works") << false << false << true << int(Placement::Placed);
}

void TestPlacement::placeRows_refusedAtFiveHundredSteps()
{
    QFETCH(bool, append);
    QFETCH(bool, insert);
    QFETCH(bool, modify);
    QFETCH(int, outcome);

    EditState state;
    ProgramTable table = tableOf(QStringList(500, QStringLiteral("WT")), state);
    state.CurrentRow = 250;
    state.AppendMode = append;
    state.InsertMode = insert;
    state.ModifyMode = modify;
    const EditState before = state;

    QCOMPARE(int(placeRows(table, state, stepOf(QStringLiteral("HOME")))), outcome);
    QCOMPARE(state.LastRow, 500);
    QCOMPARE(state.CurrentRow, 250);
    if (outcome == int(Placement::Full)) {
        // Refused as a whole: the request stays pending for after a delete.
        QCOMPARE(state.AppendMode, before.AppendMode);
        QCOMPARE(state.InsertMode, before.InsertMode);
        QCOMPARE(state.ModifyMode, before.ModifyMode);
        QCOMPARE(table.cell(250, 0), QStringLiteral("WT"));
    } else {
        QCOMPARE(table.cell(250, 0), QStringLiteral("HOME"));
    }
    QCOMPARE(table.cell(500, 0), QStringLiteral("WT"));
}

void TestPlacement::placeRows_requestOnVanishedRowNeverTouchesHeader_data()
{
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<bool>("insert");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<int>("rowWritten");

    QTest::newRow("insert after New") << 0 << 0 << true << false << 1;
    QTest::newRow("modify after New") << 0 << 0 << false << true << 1;
    QTest::newRow("modify past end after delete") << 2 << 3 << false << true << 3;
    QTest::newRow("insert just past end") << 2 << 3 << true << false << 3;
    QTest::newRow("insert far past end") << 2 << 40 << true << false << 3;
    QTest::newRow("negative row") << 2 << -5 << false << true << 3;
}

void TestPlacement::placeRows_requestOnVanishedRowNeverTouchesHeader()
{
    QFETCH(int, lastRow);
    QFETCH(int, currentRow);
    QFETCH(bool, insert);
    QFETCH(bool, modify);
    QFETCH(int, rowWritten);

    EditState state;
    ProgramTable table = tableOf(QStringList(lastRow, QStringLiteral("WT")), state);
    state.CurrentRow = currentRow;
    state.InsertMode = insert;
    state.ModifyMode = modify;
    QCOMPARE(placeRows(table, state, stepOf(QStringLiteral("HOME"))), Placement::Placed);
    QCOMPARE(table.row(0), ProgramTable::header());
    QCOMPARE(state.LastRow, lastRow + 1);
    QCOMPARE(state.CurrentRow, rowWritten);
    QCOMPARE(table.cell(rowWritten, 0), QStringLiteral("HOME"));
}

void TestPlacement::placePointRows_firstPendingBlockOnly_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("append");
    QTest::addColumn<bool>("insert");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("modifyLeft");

    QTest::newRow("append") << "1" << true << false << false << int(PointPlacement::Appended)
                            << QStringList{"WT:1", "HOME:2", "WT:3", "POINT:5"} << false;
    QTest::newRow("insert") << "1" << false << true << false << int(PointPlacement::Inserted)
                            << QStringList{"WT:1", "POINT:5", "HOME:2", "WT:3"} << false;
    QTest::newRow("modify") << "1" << false << false << true << int(PointPlacement::Modified)
                            << QStringList{"WT:1", "POINT:5", "WT:3"} << false;
    QTest::newRow("insert wins, modify stays") << "1" << false << true << true << int(PointPlacement::Inserted)
                                               << QStringList{"WT:1", "POINT:5", "HOME:2", "WT:3"} << true;
    QTest::newRow("no point pending") << "0" << true << false << false << int(PointPlacement::Nothing)
                                      << QStringList{"WT:1", "HOME:2", "WT:3"} << false;
    QTest::newRow("flag read as a number") << "1.0" << true << false << false << int(PointPlacement::Appended)
                                           << QStringList{"WT:1", "HOME:2", "WT:3", "POINT:5"} << false;
}

void TestPlacement::placePointRows_firstPendingBlockOnly()
{
    QFETCH(QString, flag);
    QFETCH(bool, append);
    QFETCH(bool, insert);
    QFETCH(bool, modify);
    QFETCH(int, outcome);
    QFETCH(QStringList, after);
    QFETCH(bool, modifyLeft);

    EditState state;
    ProgramTable table = tableOf({"WT", "HOME", "WT"}, state);
    state.CurrentRow = 2;
    state.AppendMode = append;
    state.InsertMode = insert;
    state.ModifyMode = modify;
    const Step point = {QStringLiteral("POINT"), QStringLiteral("5"), QStringLiteral("100"), QStringLiteral("200"),
                        QStringLiteral("1")};
    QCOMPARE(int(placePointRows(table, state, flag, point)), outcome);
    QCOMPARE(kindsOf(table, state), after);
    QCOMPARE(state.ModifyMode, modifyLeft);
    QCOMPARE(flag, outcome == int(PointPlacement::Nothing) ? flag : QStringLiteral("0"));
}

void TestPlacement::deleteRow_closesGap_data()
{
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("middle row") << 2 << QStringList{"POINT:1", "HOME:3"};
    QTest::newRow("last row") << 3 << QStringList{"POINT:1", "WT:2"};
    QTest::newRow("first row") << 1 << QStringList{"WT:2", "HOME:3"};
}

void TestPlacement::deleteRow_closesGap()
{
    QFETCH(int, currentRow);
    QFETCH(QStringList, after);
    EditState state;
    ProgramTable table = tableOf({"POINT", "WT", "HOME"}, state);
    state.CurrentRow = currentRow;
    QVERIFY(deleteRow(table, state));
    QCOMPARE(kindsOf(table, state), after);
    QCOMPARE(state.CurrentRow, currentRow);
    QCOMPARE(table.row(3), Step{});
    QCOMPARE(table.row(0), ProgramTable::header());
}

void TestPlacement::deleteRow_notAStepRowDoesNothing_data()
{
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<int>("currentRow");
    QTest::newRow("header row") << 2 << 0;
    QTest::newRow("past the end") << 2 << 3;
    QTest::newRow("empty program") << 0 << 0;
    QTest::newRow("open of empty file sets row 1") << 0 << 1;
}

void TestPlacement::deleteRow_notAStepRowDoesNothing()
{
    QFETCH(int, lastRow);
    QFETCH(int, currentRow);
    EditState state;
    ProgramTable table = tableOf(QStringList(lastRow, QStringLiteral("WT")), state);
    state.CurrentRow = currentRow;
    QVERIFY(!deleteRow(table, state));
    QCOMPARE(state.LastRow, lastRow);
    QCOMPARE(table.row(0), ProgramTable::header());
}

void TestPlacement::showIt_mirrorsRowsWithIcons()
{
    EditState state;
    ProgramTable table = tableOf({"POINT", "GLABLE", "home", "LINE"}, state);
    table.setRow(1, {QStringLiteral("POINT"), QStringLiteral("5"), QStringLiteral("100"), QStringLiteral("200"),
                     QStringLiteral("1")});
    RecordingStepList list;
    list.addItem(1, QStringLiteral("stale"), 1, {});
    relistSteps(table, state.LastRow, list);
    QCOMPARE(list.rebuilds, 1);
    QCOMPARE(list.items.size(), 4);
    QCOMPARE(list.items[0].text, QStringLiteral("1"));
    QCOMPARE(list.items[0].icon, 1);
    QCOMPARE(list.items[0].subItems, (QStringList{"5", "100", "200", "1"}));
    QCOMPARE(list.items[1].icon, 10);
    QCOMPARE(list.items[2].icon, kUnknownKindIcon); // kinds are case-sensitive
    QCOMPARE(list.items[3].icon, 2);
    QCOMPARE(list.items[3].position, 4);

    state.LastRow = 0;
    relistSteps(table, state.LastRow, list);
    QVERIFY(list.items.isEmpty());
}

void TestPlacement::iconIndexOf_exactCaseSensitiveLiterals()
{
    const QStringList literals = {"POINT", "LINE",    "ARC",   "CIR",    "VM",  "WT",
                                  "LOOP",  "LOOPEND", "LABLE", "GLABLE", "HOME"};
    for (int i = 0; i < literals.size(); ++i) {
        QCOMPARE(iconIndexOf(literals.at(i)), i + 1);
        QCOMPARE(kindLiteral(StepKind(i + 1)), literals.at(i));
    }
    QCOMPARE(iconIndexOf(QStringLiteral("LABEL")), kUnknownKindIcon);
    QCOMPARE(iconIndexOf(QStringLiteral("POINT ")), kUnknownKindIcon);
    QCOMPARE(iconIndexOf(QString()), kUnknownKindIcon);
}

void TestPlacement::stepRow_kindAndColumnsByName_data()
{
    QTest::addColumn<QString>("encoded");
    QTest::addColumn<StepKind>("kind");

    QTest::newRow("point") << "POINT|5|100|200|1" << StepKind::Point;
    QTest::newRow("label as spelled in files") << "LABLE|a|b|c|d" << StepKind::Label;
    QTest::newRow("jump as spelled in files") << "GLABLE|a|b|c|d" << StepKind::JumpToLabel;
    QTest::newRow("loop foot") << "LOOPEND|a|b|c|d" << StepKind::LoopEnd;
    QTest::newRow("circle") << "CIR|a|b|c|d" << StepKind::Circle;
    QTest::newRow("corrected spelling is no kind") << "LABEL|a|b|c|d" << StepKind::Unknown;
    QTest::newRow("lower case is no kind") << "home|a|b|c|d" << StepKind::Unknown;
    QTest::newRow("trailing space is no kind") << "WT |a|b|c|d" << StepKind::Unknown;
    QTest::newRow("empty kind") << "|a|b|c|d" << StepKind::Unknown;
}

void TestPlacement::stepRow_kindAndColumnsByName()
{
    QFETCH(QString, encoded);
    QFETCH(StepKind, kind);

    const ProgramTable table = testing::tableOf({QStringLiteral("HOME"), encoded});
    const StepRow row = table.stepRow(2);
    QCOMPARE(row.kind(), kind);
    QCOMPARE(kindOf(row.kindText()), kind);
    const QStringList parts = encoded.split(QLatin1Char('|'));
    QCOMPARE((QStringList{row.kindText(), row.datum(), row.x(), row.y(), row.out()}), parts);
    QCOMPARE(row.out(), table.cell(2, Column::Out));
    QCOMPARE(kindLiteral(kind), kind == StepKind::Unknown ? QString() : row.kindText());

    // Outside the table a row reads as empty, of no kind.
    QCOMPARE(table.stepRow(ProgramTable::kRows).kind(), StepKind::Unknown);
    QCOMPARE(table.stepRow(-1).datum(), QString());
}

void TestPlacement::table_accessOutsideIsHarmless()
{
    ProgramTable table;
    table.setCell(501, 0, QStringLiteral("x"));
    table.setCell(1, 5, QStringLiteral("x"));
    table.setRow(-1, ProgramTable::header());
    QCOMPARE(table.cell(501, 0), QString());
    QCOMPARE(table.cell(-1, 0), QString());
    QCOMPARE(table.row(700), Step{});
    table.setCell(500, 4, QStringLiteral("edge"));
    QCOMPARE(table.cell(500, 4), QStringLiteral("edge"));
}

QTEST_APPLESS_MAIN(TestPlacement)
#include "tst_placement.moc"

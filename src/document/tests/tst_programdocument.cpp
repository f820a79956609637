#include "document/programdocument.h"
#include "testing/recordingsteplist.h"
#include "testing/stepbuilder.h"

#include <QSignalSpy>
#include <QTest>

using namespace talvex;
using namespace talvex::testing;

class TestProgramDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changes_oneUndoStepAndOneSignalEach_data();
    void changes_oneUndoStepAndOneSignalEach();
    void fullProgram_refusedWithNothingChanged();
    void undo_restoresProgramAndSavedState();
    void pointAppend_addsOneItemOtherChangesRelist();
};

void TestProgramDocument::changes_oneUndoStepAndOneSignalEach_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("append") << "append" << QStringList{"WT", "HOME", "POINT", "VM"} << "加入 速度";
    QTest::newRow("insert at 2") << "insert" << QStringList{"WT", "VM", "HOME", "POINT"} << "插入第 2 行";
    QTest::newRow("modify 2") << "modify" << QStringList{"WT", "VM", "POINT"} << "修改第 2 行";
    QTest::newRow("delete 2") << "delete" << QStringList{"WT", "POINT"} << "刪除第 2 行";
    QTest::newRow("new") << "new" << QStringList{} << "建立新檔";
}

void TestProgramDocument::changes_oneUndoStepAndOneSignalEach()
{
    QFETCH(QString, change);
    QFETCH(QStringList, kinds);
    QFETCH(QString, undoText);
    ProgramDocument document;
    document.replaceProgram(tableOf({"WT|1", "HOME", "POINT|0|1|2|0"}), 3, QStringLiteral("開啟舊檔"));
    QSignalSpy changed(&document, &ProgramDocument::changed);
    PendingEdit pending;
    pending.CurrentRow = 2;
    pending.AppendMode = change == QLatin1String("append");
    pending.InsertMode = change == QLatin1String("insert");
    pending.ModifyMode = change == QLatin1String("modify");
    if (change == QLatin1String("delete"))
        QVERIFY(document.deleteRow(pending));
    else if (change == QLatin1String("new"))
        document.clearProgram(QStringLiteral("建立新檔"));
    else
        QCOMPARE(document.placeStep(stepOf(QStringLiteral("VM|50")), pending), Placement::Placed);

    QStringList got;
    for (int r = 1; r <= document.lastRow(); ++r)
        got << document.table().cell(r, 0);
    QCOMPARE(got, kinds);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(document.undoStack().count(), 2);
    QCOMPARE(document.undoStack().undoText(), undoText);
    QVERIFY(!pending.AppendMode && !pending.InsertMode && !pending.ModifyMode);
}

void TestProgramDocument::fullProgram_refusedWithNothingChanged()
{
    ProgramDocument document;
    document.replaceProgram(tableOf(QStringList(500, QStringLiteral("WT"))), 500, {});
    RecordingStepList list;
    bindStepList(document, list);
    QSignalSpy changed(&document, &ProgramDocument::changed);
    PendingEdit pending;
    pending.AppendMode = true;
    QCOMPARE(document.placeStep(stepOf(QStringLiteral("HOME")), pending), Placement::Full);
    QCOMPARE(document.lastRow(), 500);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(list.rebuilds, 0);
    QVERIFY(pending.AppendMode);
}

void TestProgramDocument::undo_restoresProgramAndSavedState()
{
    ProgramDocument document;
    QVERIFY(!document.unsavedWork());
    PendingEdit pending;
    pending.AppendMode = true;
    document.placeStep(stepOf(QStringLiteral("HOME")), pending);
    QVERIFY(document.isDirty() && document.unsavedWork());
    document.markSaved();
    QVERIFY(!document.unsavedWork());
    pending.AppendMode = true;
    document.placeStep(stepOf(QStringLiteral("WT|5")), pending);
    QVERIFY(document.unsavedWork());

    QSignalSpy restored(&document, &ProgramDocument::restored);
    document.undo();
    QCOMPARE(restored.count(), 1);
    QCOMPARE(document.lastRow(), 1);
    QVERIFY(!document.isDirty()); // back to what was saved
    document.undo();
    QCOMPARE(document.lastRow(), 0);
    QVERIFY(document.isDirty() && document.differsFromSaved());
    document.redo();
    document.redo();
    QCOMPARE(document.table().cell(2, 1), QStringLiteral("5"));
}

void TestProgramDocument::pointAppend_addsOneItemOtherChangesRelist()
{
    ProgramDocument document;
    document.replaceProgram(tableOf({"HOME"}), 1, {});
    RecordingStepList list;
    bindStepList(document, list);
    PendingEdit pending;
    pending.AppendMode = true;
    QString flag = QStringLiteral("1");
    QCOMPARE(document.placePoint(stepOf(QStringLiteral("POINT|0|12.5|3|0")), pending, flag), PointPlacement::Appended);
    QCOMPARE(flag, QStringLiteral("0"));
    QCOMPARE(list.rebuilds, 0);
    QCOMPARE(list.items.size(), 1);
    QCOMPARE(list.items[0].text, QStringLiteral("2"));
    QCOMPARE(list.items[0].subItems, (QStringList{"0", "12.5", "3", "0"}));

    pending.CurrentRow = 1;
    QVERIFY(document.deleteRow(pending));
    QCOMPARE(list.rebuilds, 1);
    QCOMPARE(list.items.size(), 1);
    QCOMPARE(list.items[0].icon, 1);
}

QTEST_GUILESS_MAIN(TestProgramDocument)
#include "tst_programdocument.moc"

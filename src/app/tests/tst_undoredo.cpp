#include "app/teachlauncher.h"
#include "document/programdocument.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/steplistview.h"
#include "table/tablesnapshot.h"
#include "teach/teachdialog.h"
#include "teach/teachdialogui.h"
#include "testing/mainwindowfixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

using namespace talvex;
using namespace talvex::testing;

// Undo and redo of the operator's changes to the step table: every change goes back
// exactly, in order, to the start, and comes forward again.
class TestUndoRedo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void undoToStartThenRedo_data();
    void undoToStartThenRedo();
    void undo_pointBeingTaughtLandsAfterTheLastStep();

private:
    void run(const QString &operation);
    void clickRow(int row);
    /// The table, LastRow and the list as the step list shows them, side by side.
    void verifyTable(const TableSnapshot &expected, const QString &where);
    TableSnapshot snapshot() const
    {
        return TableSnapshot(m_window->document().table(), m_window->document().lastRow());
    }

    std::unique_ptr<MainWindowFixture> m_fixture;
    MainWindow *m_window = nullptr;
    ScriptedOperator *m_op = nullptr;
    TeachLauncher *m_launcher = nullptr;
};

void TestUndoRedo::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->window();
    m_op = &m_fixture->op();
    m_launcher = new TeachLauncher(*m_window);
    m_window->show();
    m_window->ui().startEditingButton->click();
}

void TestUndoRedo::cleanup()
{
    delete m_launcher;
    m_fixture.reset();
}

void TestUndoRedo::clickRow(int row)
{
    StepListView *list = m_window->ui().stepList;
    QTreeWidgetItem *item = list->topLevelItem(row - 1);
    QVERIFY(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

void TestUndoRedo::run(const QString &operation)
{
    const MainWindowUi &ui = m_window->ui();
    const QStringList words = operation.split(QLatin1Char(' '));
    const QString &verb = words.at(0);
    const QString file = m_fixture->filePath(QStringLiteral("program.tvx"));
    if (verb == QLatin1String("delay") || verb == QLatin1String("loop") || verb == QLatin1String("label")) {
        m_op->answerText(words.at(1));
        (verb == QLatin1String("delay")  ? ui.delayButton
         : verb == QLatin1String("loop") ? ui.loopButton
                                         : ui.labelButton)
            ->click();
    } else if (verb == QLatin1String("home")) {
        ui.homeButton->click();
    } else if (verb == QLatin1String("loopend")) {
        ui.loopEndButton->click();
    } else if (verb == QLatin1String("point")) {
        ui.pointButton->click();
        TeachDialog *dialog = m_launcher->dialog();
        QVERIFY(dialog);
        dialog->ui().xTarget->setText(words.at(1));
        dialog->ui().yTarget->setText(words.at(2));
        dialog->ui().confirmButton->click();
        QTRY_VERIFY(!m_launcher->dialog());
    } else if (verb == QLatin1String("click")) {
        clickRow(words.at(1).toInt());
    } else if (verb == QLatin1String("insert")) {
        ui.insertButton->click();
    } else if (verb == QLatin1String("modify")) {
        ui.modifyButton->click();
    } else if (verb == QLatin1String("delete")) {
        ui.deleteButton->click();
    } else if (verb == QLatin1String("save")) {
        m_op->answerFile(file);
        ui.saveAsAction->trigger();
    } else if (verb == QLatin1String("open")) {
        m_op->answerFile(file);
        ui.openAction->trigger();
    } else if (verb == QLatin1String("new")) {
        if (m_window->document().isDirty())
            m_op->answerNo(); // discard
        ui.newAction->trigger();
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown operation ") + operation));
    }
}

void TestUndoRedo::verifyTable(const TableSnapshot &expected, const QString &where)
{
    const EditState edit = m_window->document().editState(m_window->editState());
    QVERIFY2(snapshot().sameTable(expected), qPrintable(where));
    const StepListView *list = m_window->ui().stepList;
    QCOMPARE(list->topLevelItemCount(), edit.LastRow);
    for (int r = 1; r <= edit.LastRow; ++r) {
        const Step row = m_window->document().table().row(r);
        const QTreeWidgetItem *item = list->topLevelItem(r - 1);
        QCOMPARE(item->text(0), QString::number(r));
        for (int c = 1; c < ProgramTable::kColumns; ++c)
            QCOMPARE(item->text(c), row[static_cast<size_t>(c)]);
    }
    for (QPushButton *b : m_window->ui().rowButtons())
        QVERIFY2(!b->isEnabled(), qPrintable(where));
    QVERIFY(!edit.InsertMode && !edit.ModifyMode);
}

void TestUndoRedo::undoToStartThenRedo_data()
{
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<bool>("dirtyAtStart");
    QTest::addColumn<QString>("undoEntry");
    QTest::addColumn<QString>("redoEntry");

    QTest::newRow("step buttons and a delete")
        << QStringList{"delay 1000", "home", "loop 3", "loopend", "label A", "click 3", "delete"} << false
        << "復原 刪除第 3 行(&U)"
        << "重做 刪除第 3 行(&R)";
    QTest::newRow("insert, modify and points")
        << QStringList{"home",      "home",    "home",   "point 10 20", "click 1",  "insert",
                       "point 5 5", "click 2", "modify", "delay 50",    "click 3",  "insert",
                       "loop 2",    "click 2", "modify", "point 7 8",   "point 1 2"}
        << false << "復原 加入 點(&U)"
        << "重做 加入 點(&R)";
    QTest::newRow("save, new, open") << QStringList{"home", "delay 5", "save",   "new", "open",
                                                    "home", "click 1", "delete", "new"}
                                     // The empty start is not what was last opened.
                                     << true << "復原 建立新檔(&U)"
                                     << "重做 建立新檔(&R)";
    QStringList many;
    for (int i = 0; i <= ProgramDocument::kUndoLimit; ++i)
        many << "home";
    QTest::newRow("more steps than the history keeps") << many << false << "復原 加入 回原點(&U)"
                                                       << "重做 加入 回原點(&R)";
}

void TestUndoRedo::undoToStartThenRedo()
{
    QFETCH(QStringList, operations);
    QFETCH(bool, dirtyAtStart);
    QFETCH(QString, undoEntry);
    QFETCH(QString, redoEntry);
    QAction *undo = m_window->ui().undoAction;
    QAction *redo = m_window->ui().redoAction;
    QSignalSpy changed(&m_window->document(), &ProgramDocument::changed);

    std::vector<TableSnapshot> states{snapshot()};
    for (const QString &operation : operations) {
        run(operation);
        if (!snapshot().sameTable(states.back()))
            states.push_back(snapshot());
    }
    const int changes = static_cast<int>(states.size()) - 1;
    QCOMPARE(changed.count(), changes);
    QCOMPARE(undo->text(), undoEntry);

    // A pending insert goes with the first undo.
    if (m_window->document().lastRow() > 0) {
        clickRow(1);
        m_window->ui().insertButton->click();
    }
    const int first = std::max(0, changes - ProgramDocument::kUndoLimit);
    for (int k = changes - 1; k >= first; --k) {
        QVERIFY(undo->isEnabled());
        undo->trigger();
        verifyTable(states[static_cast<size_t>(k)], QStringLiteral("undo to state %1").arg(k));
        if (k == changes - 1)
            QCOMPARE(redo->text(), redoEntry);
    }
    QVERIFY(!undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("復原(&U)"));
    if (first == 0)
        QCOMPARE(m_window->document().isDirty(), dirtyAtStart);

    for (int k = first + 1; k <= changes; ++k) {
        QVERIFY(redo->isEnabled());
        redo->trigger();
        verifyTable(states[static_cast<size_t>(k)], QStringLiteral("redo to state %1").arg(k));
    }
    QVERIFY(!redo->isEnabled());
    QCOMPARE(changed.count(), changes + 2 * (changes - first));
    QCOMPARE(m_op->unscripted(), 0);
}

void TestUndoRedo::undo_pointBeingTaughtLandsAfterTheLastStep()
{
    const MainWindowUi &ui = m_window->ui();
    run("home");
    run("delay 10");
    run("home");
    clickRow(1);
    ui.insertButton->click();
    ui.pointButton->click(); // a point to insert at row 1, being taught
    TeachDialog *dialog = m_launcher->dialog();
    QVERIFY(dialog);

    ui.undoAction->trigger(); // the last HOME goes; the insert is dropped
    QCOMPARE(m_window->document().lastRow(), 2);
    dialog->ui().xTarget->setText(QStringLiteral("5"));
    dialog->ui().yTarget->setText(QStringLiteral("6"));
    dialog->ui().confirmButton->click();

    QCOMPARE(m_window->document().lastRow(), 3);
    QCOMPARE(m_window->document().table().row(1), (Step{"HOME", "0", "0", "0", "0"}));
    QCOMPARE(m_window->document().table().row(3), (Step{"POINT", "0", "5", "6", "0"}));
    QCOMPARE(ui.undoAction->text(), QStringLiteral("復原 加入 點(&U)"));
}

QTEST_MAIN(TestUndoRedo)
#include "tst_undoredo.moc"

#include "app/programchecklauncher.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/problemswindow.h"
#include "editor/steplistview.h"
#include "testing/mainwindowfixture.h"
#include "testing/stepbuilder.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

using namespace talvex;
using namespace talvex::testing;

/// The program check as the main window drives it: marks in the step list after every
/// change, the window "程式檢查" following them, a double-click choosing the row.
class TestProgramCheckLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void check_followsTheProgram();
};

namespace {

bool marked(const StepListView &list, int row)
{
    const QTreeWidgetItem *item = list.topLevelItem(row - 1);
    return item && item->background(0).style() != Qt::NoBrush;
}

} // namespace

void TestProgramCheckLauncher::check_followsTheProgram()
{
    MainWindowFixture fixture;
    MainWindow &window = fixture.window();
    ProgramCheckLauncher launcher(window);
    StepListView &list = *window.ui().stepList;
    window.document().replaceProgram(tableOf({"LABLE|A", "WT|abc", "GLABLE|END"}), 3, QStringLiteral("開啟舊檔"));
    window.show();

    QVERIFY(!marked(list, 1));
    QVERIFY(marked(list, 2));
    // The problem goes below what the step does; a row without one says only that.
    QCOMPARE(list.topLevelItem(1)->toolTip(3), QStringLiteral("延遲「abc」\n第 2 行: 延遲時間「abc」不是數字"));
    QCOMPARE(list.topLevelItem(0)->toolTip(0), QStringLiteral("標籤「A」"));

    window.ui().programCheckAction->trigger();
    ProblemsWindow *problems = launcher.problemsWindow();
    QVERIFY(problems && problems->isVisible());
    QCOMPARE(problems->list()->topLevelItemCount(), 1);

    // "循環" takes the program's END away: the jump to it becomes a problem.
    window.ui().repeatBox->setChecked(true);
    QVERIFY(marked(list, 3));
    QCOMPARE(problems->list()->topLevelItemCount(), 2);
    QCOMPARE(problems->summary()->text(), QStringLiteral("程式有 2 個問題"));

    // A double-click chooses the row in the list.
    QTreeWidgetItem *jump = problems->list()->topLevelItem(1);
    QCOMPARE(jump->text(0), QStringLiteral("3"));
    const QPoint at = problems->list()->visualItemRect(jump).center();
    // The view takes a double-click only on the item its press went to.
    QTest::mousePress(problems->list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(problems->list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(problems->list()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(window.editState().CurrentRow, 3);

    // The step list re-listed by another program: the marks follow it.
    window.document().replaceProgram(tableOf({"WT|1", "VM|x"}), 2, QStringLiteral("開啟舊檔"));
    QVERIFY(!marked(list, 1));
    QVERIFY(marked(list, 2));
    QCOMPARE(problems->list()->topLevelItemCount(), 1);

    // The window goes with the main window.
    window.close();
    QTRY_VERIFY(!launcher.problemsWindow());
}

QTEST_MAIN(TestProgramCheckLauncher)
#include "tst_programchecklauncher.moc"

#include "app/previewlauncher.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/steplistview.h"
#include "preview/pathpreviewwindow.h"
#include "preview/pathview.h"
#include "testing/mainwindowfixture.h"
#include "testing/stepbuilder.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

using namespace talvex;
using namespace talvex::testing;

/// The path preview as the main window drives it: it follows the table, the options
/// and the chosen row, and a click on a point chooses that row in the list.
class TestPreviewLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void preview_followsTheWindowBothWays();
};

void TestPreviewLauncher::preview_followsTheWindowBothWays()
{
    MainWindowFixture fixture;
    MainWindow &window = fixture.window();
    PreviewLauncher launcher(window);
    window.document().replaceProgram(tableOf({"POINT|0|100|0|0", "POINT|0|100|100|0"}), 2, QStringLiteral("開啟舊檔"));
    window.show();

    window.ui().pathPreviewAction->trigger();
    PathPreviewWindow *preview = launcher.preview();
    QVERIFY(preview && preview->isVisible());
    const QString twoPoints = preview->summaryLabel()->text();
    QVERIFY(twoPoints.startsWith(QStringLiteral("預估週期時間: ")));

    // A step placed, then undone: the summary follows both.
    QTest::mouseClick(window.ui().startEditingButton, Qt::LeftButton);
    fixture.op().answerText(QStringLiteral("1000"));
    QTest::mouseClick(window.ui().delayButton, Qt::LeftButton);
    const QString withDelay = preview->summaryLabel()->text();
    QVERIFY(withDelay != twoPoints);
    window.ui().undoAction->trigger();
    QCOMPARE(preview->summaryLabel()->text(), twoPoints);

    // An option the path depends on.
    window.ui().accelerationSlider->setValue(100);
    window.ui().setAccelerationBox->setChecked(true);
    QVERIFY(preview->summaryLabel()->text() != twoPoints);
    window.ui().setAccelerationBox->setChecked(false);
    QCOMPARE(preview->summaryLabel()->text(), twoPoints);

    // The row chosen in the list is highlighted; a point clicked is chosen.
    StepListView *list = window.ui().stepList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
    QCOMPARE(preview->view()->highlightedRow(), 1);
    const QPoint second = preview->view()->plane().toPixels(QPointF(100, 100)).toPoint();
    QTest::mouseClick(preview->view(), Qt::LeftButton, {}, second);
    QCOMPARE(window.editState().CurrentRow, 2);
    QVERIFY(window.ui().deleteButton->isEnabled());
    QCOMPARE(list->currentItem(), list->topLevelItem(1));

    // The preview goes with the main window (leaving without saving).
    fixture.op().answerNo();
    window.close();
    QTRY_VERIFY(!launcher.preview());
}

QTEST_MAIN(TestPreviewLauncher)
#include "tst_previewlauncher.moc"

#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/speeddialog.h"
#include "editor/steplistview.h"
#include "testing/mainwindowfixture.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QWindow>

#include <memory>

using namespace talvex;

class TestSpeedDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void open_presetsFromSpeedValueAndDisablesMainWindow();
    void confirm_placesSpeedStepAndRemembersIt_data();
    void confirm_placesSpeedStepAndRemembersIt();
    void closeBox_placesNothingAndGivesMainWindowBack();
    void confirm_afterRequestUsedUpPlacesNothing();
    void modifyPending_turnsRowIntoSpeedStep();
    void slider_staysWithinRange();

private:
    SpeedDialog *openDialog();

    std::unique_ptr<testing::MainWindowFixture> m_fixture;
    testing::ScriptedOperator *m_op = nullptr;
    MainWindow *m_window = nullptr;
    testing::MemorySerialPort *m_port = nullptr;
};

void TestSpeedDialog::init()
{
    m_fixture = std::make_unique<testing::MainWindowFixture>();
    m_op = &m_fixture->op();
    m_port = &m_fixture->port();
    m_window = &m_fixture->window();
    m_window->show();
    QTest::mouseClick(m_window->ui().startEditingButton, Qt::LeftButton);
}

void TestSpeedDialog::cleanup()
{
    m_fixture.reset();
}

SpeedDialog *TestSpeedDialog::openDialog()
{
    QTest::mouseClick(m_window->ui().speedButton, Qt::LeftButton);
    SpeedDialog *dialog = m_window->speedDialog();
    if (dialog)
        dialog->show();
    return dialog;
}

void TestSpeedDialog::open_presetsFromSpeedValueAndDisablesMainWindow()
{
    SpeedDialog *dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("速度"));
    QCOMPARE(dialog->slider()->value(), 100);
    QCOMPARE(dialog->valueLabel()->text(), QStringLiteral("100"));
    QCOMPARE(dialog->confirmButton()->text(), QStringLiteral("確認"));
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->isEnabled());
    QVERIFY(!m_window->isEnabled());
    QVERIFY(m_window->statusTimer().isActive());
    QVERIFY(m_window->editState().AppendMode);
    // It stays above the window it disables.
    QVERIFY(dialog->windowHandle());
    QCOMPARE(dialog->windowHandle()->transientParent(), m_window->windowHandle());
}

void TestSpeedDialog::confirm_placesSpeedStepAndRemembersIt_data()
{
    QTest::addColumn<int>("pageUps");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unchanged") << 0 << "100";
    QTest::newRow("moved up") << 3 << "115";
}

void TestSpeedDialog::confirm_placesSpeedStepAndRemembersIt()
{
    QFETCH(int, pageUps);
    QFETCH(QString, expected);
    SpeedDialog *dialog = openDialog();
    for (int i = 0; i < pageUps; ++i)
        QTest::keyClick(dialog->slider(), Qt::Key_PageUp);
    QCOMPARE(dialog->valueLabel()->text(), expected);
    QTest::mouseClick(dialog->confirmButton(), Qt::LeftButton);

    QVERIFY(m_window->isEnabled());
    QTRY_VERIFY(!m_window->speedDialog());
    const Step row = m_window->document().table().row(1);
    QCOMPARE(QStringList(row.begin(), row.end()), (QStringList{"VM", expected, "0", "0", "0"}));
    QCOMPARE(m_window->values().SpeedValue, expected);
    QCOMPARE(m_window->ui().stepList->iconIndexAt(0), 5);

    SpeedDialog *again = openDialog();
    QVERIFY(again);
    QCOMPARE(again->slider()->value(), expected.toInt());
    again->close();
}

void TestSpeedDialog::closeBox_placesNothingAndGivesMainWindowBack()
{
    SpeedDialog *dialog = openDialog();
    QTest::keyClick(dialog->slider(), Qt::Key_PageUp);
    dialog->close();
    QVERIFY(m_window->isEnabled());
    QCOMPARE(m_window->document().lastRow(), 0);
    QCOMPARE(m_window->values().SpeedValue, QStringLiteral("100"));
    QTRY_VERIFY(!m_window->speedDialog());

    SpeedDialog *escaped = openDialog();
    QTest::keyClick(escaped, Qt::Key_Escape);
    QVERIFY(m_window->isEnabled());
    QCOMPARE(m_window->document().lastRow(), 0);
}

void TestSpeedDialog::confirm_afterRequestUsedUpPlacesNothing()
{
    SpeedDialog *dialog = openDialog();
    // A point confirmed in the teach dialog meanwhile used the armed append.
    m_window->editState().AppendMode = false;
    QTest::keyClick(dialog->slider(), Qt::Key_PageUp);
    QTest::mouseClick(dialog->confirmButton(), Qt::LeftButton);
    QCOMPARE(m_window->document().lastRow(), 0);
    QCOMPARE(m_window->values().SpeedValue, QStringLiteral("100"));
    QVERIFY(m_window->isEnabled());
}

void TestSpeedDialog::modifyPending_turnsRowIntoSpeedStep()
{
    m_op->answerText(QStringLiteral("1000"));
    QTest::mouseClick(m_window->ui().delayButton, Qt::LeftButton);
    StepListView *list = m_window->ui().stepList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
    QTest::mouseClick(m_window->ui().modifyButton, Qt::LeftButton);
    SpeedDialog *dialog = openDialog();
    QVERIFY(!m_window->editState().AppendMode);
    QTest::mouseClick(dialog->confirmButton(), Qt::LeftButton);
    QCOMPARE(m_window->document().lastRow(), 1);
    QCOMPARE(m_window->document().table().cell(1, 0), QStringLiteral("VM"));
    QCOMPARE(m_window->document().table().cell(1, 1), QStringLiteral("100"));
}

void TestSpeedDialog::slider_staysWithinRange()
{
    SpeedDialog *dialog = openDialog();
    QTest::keyClick(dialog->slider(), Qt::Key_End);
    QCOMPARE(dialog->speed(), 500);
    QTest::keyClick(dialog->slider(), Qt::Key_Home);
    QCOMPARE(dialog->speed(), 0);
    QCOMPARE(dialog->valueLabel()->text(), QStringLiteral("0"));
    dialog->close();
}

QTEST_MAIN(TestSpeedDialog)
#include "tst_speeddialog.moc"

#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/statusmessagepanel.h"
#include "editor/steplistview.h"
#include "table/placement.h"
#include "testing/mainwindowfixture.h"
#include "testing/stepbuilder.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTest>

#include <memory>

using namespace talvex;
using testing::ScriptedOperator;

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startUp_fixedInitialState();
    void startUp_portFromSettingsFileAndConnectChecksIt_data();
    void startUp_portFromSettingsFileAndConnectChecksIt();
    void statusTick_withPortClosedStopsTimer();
    void startEditing_enablesStepButtonsOnly();
    void stepButtons_placeTheirRow_data();
    void stepButtons_placeTheirRow();
    void stepButtons_cancelledPromptPlacesNothing_data();
    void stepButtons_cancelledPromptPlacesNothing();
    void jumpPrompt_namesTheLabels_data();
    void jumpPrompt_namesTheLabels();
    void delay_defaultIsPreviousDelay();
    void rowClick_beforeEditingThenInsertOpensStepButtons();
    void insert_placesAtClickedRowOnceThenAppends();
    void cancelledPromptThenInsert_insertsExactlyOnce();
    void modify_overwritesRowInPlace();
    void delete_closesGapAndNeedsFreshRowClick();
    void stepList_onlyTheOperatorsChoiceArmsRowButtons_data();
    void stepList_onlyTheOperatorsChoiceArmsRowButtons();
    void rowButtons_onNonStepRowDoNothing();
    void point_armsRequest_data();
    void point_armsRequest();
    void fullTable_noticeAndNothingChanges();
    void portMenu_showsAndRemembersPort();
    void accelerationSlider_writesText1();
    void accessibility_namesAndMnemonics();
    void fileMenu_saveThenOpenRestoresProgramAndDisablesRowButtons();
    void fileMenu_openDamagedFileStaysInTable_data();
    void fileMenu_openDamagedFileStaysInTable();
    void link_connectTickAndExitThroughTheWindow();
    void link_inputBoxClickedWhileDown();
    void window_growsIntoTheStepListWhichFollowsPlacedRows();
    void fileMenu_saveWritesTheProgramsFileShownInItsPanel();
    void tooltips_onEveryControl();
    void statusMessage_saysWhatTheNextStepDoesAndHowTheUploadEnded();
    void statusTips_showInTheMessagePanelAndGiveItBack();
    void stepList_rowsSayWhatTheirStepDoes();

private:
    void click(QPushButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    void clickRow(int row);
    void addSteps(const QStringList &kinds);
    QStringList rows() const;
    QList<QPushButton *> stepButtons() const;

    std::unique_ptr<testing::MainWindowFixture> m_fixture;
    ScriptedOperator *m_op = nullptr;
    MainWindow *m_window = nullptr;
    testing::MemorySerialPort *m_port = nullptr;
};

void TestMainWindow::init()
{
    m_fixture = std::make_unique<testing::MainWindowFixture>();
    m_op = &m_fixture->op();
    m_port = &m_fixture->port();
    m_window = &m_fixture->window();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestMainWindow::cleanup()
{
    m_fixture.reset();
}

void TestMainWindow::clickRow(int row)
{
    StepListView *list = m_window->ui().stepList;
    QTreeWidgetItem *item = list->topLevelItem(row - 1);
    QVERIFY(item);
    const QRect rect = list->visualItemRect(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void TestMainWindow::addSteps(const QStringList &kinds)
{
    if (m_window->ui().startEditingButton->isEnabled())
        click(m_window->ui().startEditingButton);
    for (const QString &kind : kinds) {
        if (kind == QLatin1String("WT")) {
            m_op->answerText(QStringLiteral("1000"));
            click(m_window->ui().delayButton);
        } else if (kind == QLatin1String("HOME")) {
            click(m_window->ui().homeButton);
        } else if (kind == QLatin1String("LOOPEND")) {
            click(m_window->ui().loopEndButton);
        } else if (kind == QLatin1String("LOOP")) {
            m_op->answerText(QStringLiteral("3"));
            click(m_window->ui().loopButton);
        }
    }
}

QStringList TestMainWindow::rows() const
{
    QStringList out;
    const ProgramTable &table = m_window->document().table();
    for (int r = 1; r <= m_window->document().lastRow(); ++r)
        out << table.cell(r, 0) + QLatin1Char(':') + table.cell(r, 1);
    return out;
}

QList<QPushButton *> TestMainWindow::stepButtons() const
{
    const auto buttons = m_window->ui().stepButtons();
    return QList<QPushButton *>(buttons.begin(), buttons.end());
}

void TestMainWindow::startUp_fixedInitialState()
{
    const MainWindowUi &ui = m_window->ui();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("TALVEX"));
    QCOMPARE(ui.stepList->topLevelItemCount(), 0);
    QCOMPARE(ui.stepList->columnCount(), 5);
    const QTreeWidgetItem *header = ui.stepList->headerItem();
    QCOMPARE(header->text(0), QStringLiteral(" 行 數 "));
    QCOMPARE(header->text(1), QStringLiteral("IN或數據"));
    QCOMPARE(header->text(2), QStringLiteral(" X 座標"));
    QCOMPARE(header->text(3), QStringLiteral(" Y 座標"));
    QCOMPARE(header->text(4), QStringLiteral("  OUT  "));

    for (QPushButton *b : stepButtons())
        QVERIFY2(!b->isEnabled(), qPrintable(b->text()));
    for (QPushButton *b : ui.rowButtons())
        QVERIFY(!b->isEnabled());
    QVERIFY(!ui.locateButton->isEnabled());
    QVERIFY(!ui.originButton->isEnabled());
    QVERIFY(ui.startEditingButton->isEnabled());
    QVERIFY(ui.connectButton->isEnabled());
    QVERIFY(ui.uploadButton->isEnabled());
    QVERIFY(ui.repeatBox->isEnabled());
    QVERIFY(!ui.setAccelerationBox->isChecked());

    QCOMPARE(ui.accelerationText->text(), QStringLiteral("2000"));
    QCOMPARE(ui.accelerationSlider->value(), 2000);
    QCOMPARE(ui.accelerationSlider->minimum(), 50);
    QCOMPARE(ui.accelerationSlider->maximum(), 5000);
    QCOMPARE(ui.internalAcceleration->text(), QStringLiteral("0"));
    QVERIFY(!ui.internalAcceleration->isEnabled());
    QCOMPARE(ui.statusLink->text(), QStringLiteral("未連線"));
    QCOMPARE(ui.statusPort->text(), QStringLiteral("COM1"));
    for (QCheckBox *box : ui.inputBoxes)
        QVERIFY(!box->isChecked());
    for (QCheckBox *box : ui.outputBoxes)
        QVERIFY(!box->isChecked());

    QCOMPARE(m_window->document().table().row(0), ProgramTable::header());
    const EditState s = m_window->document().editState(m_window->editState());
    QVERIFY(!s.Dirty && !s.AppendMode && !s.InsertMode && !s.ModifyMode);
    QCOMPARE(s.LastRow, 0);
    const StationValues &v = m_window->values();
    QCOMPARE(v.SpeedValue, QStringLiteral("100"));
    QCOMPARE(v.PointKindFlag, QStringLiteral("0"));
    QVERIFY(v.NumericInput);
    QVERIFY(m_window->statusTimer().isActive());
    QCOMPARE(m_window->statusTimer().interval(), 500);
    QVERIFY(m_op->shown().empty());
}

void TestMainWindow::startUp_portFromSettingsFileAndConnectChecksIt_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<bool>("opens");
    QTest::newRow("port 3") << QByteArray("3\r\n") << "COM3" << true;
    QTest::newRow("empty file") << QByteArray() << "COM" << false;
    QTest::newRow("port 9") << QByteArray("9\r\n") << "COM9" << false;
    QTest::newRow("binary") << QByteArray("\x00\x01\x1b\x7f\xa4\xa4\r\n\xff\xfe\x80\x00", 12)
                            << QStringLiteral("COM") + QString(QChar(0)) + QStringLiteral("\x01\x1b\x7f中") << false;
}

void TestMainWindow::startUp_portFromSettingsFileAndConnectChecksIt()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, panel);
    QFETCH(bool, opens);
    QFile f(QStringLiteral("DATA.TXT"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(contents);
    f.close();
    MainWindow window(*m_op, *m_port, m_fixture->clock());
    QCOMPARE(window.ui().statusPort->text(), panel);
    QCOMPARE(QStringLiteral("COM") + window.values().ComPort, panel);

    // Only COM1..COM4 exist: anything else is refused before the port is touched.
    window.ui().connectButton->click();
    QCOMPARE(m_op->notices().size(), 2);
    QCOMPARE(m_op->notices().at(0), QStringLiteral(" 準備連線終止運作中程式"));
    const QString second = m_op->notices().at(1);
    QCOMPARE(m_port->opens, opens ? 1 : 0);
    if (opens) {
        QCOMPARE(m_port->portNumbersOpened, QList<int>{3});
        QCOMPARE(second, QStringLiteral("通訊有誤!")); // nothing answers the memory port
    } else {
        QVERIFY2(second.contains(panel) && second.contains(QStringLiteral("COM1 到 COM4")), qPrintable(second));
        QVERIFY(m_port->writes.isEmpty());
    }
    QVERIFY(!m_port->isOpen());
}

void TestMainWindow::statusTick_withPortClosedStopsTimer()
{
    m_window->ui().statusLink->setText(QStringLiteral("x"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->statusTimer().isActive(), 2000);
    QCOMPARE(m_window->ui().statusLink->text(), QStringLiteral("未連線"));
    QVERIFY(!m_window->ui().locateButton->isEnabled());
}

void TestMainWindow::startEditing_enablesStepButtonsOnly()
{
    click(m_window->ui().startEditingButton);
    QVERIFY(m_window->document().isDirty());
    for (QPushButton *b : stepButtons())
        QVERIFY(b->isEnabled());
    QVERIFY(!m_window->ui().startEditingButton->isEnabled());
    for (QPushButton *b : m_window->ui().rowButtons())
        QVERIFY(!b->isEnabled());
}

void TestMainWindow::stepButtons_placeTheirRow_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("promptText");
    QTest::addColumn<QString>("promptTitle");
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<int>("icon");

    QTest::newRow("delay") << "Command2"
                           << "1000"
                           << "請輸入延遲時間{1000為1秒}"
                           << "延遲時間" << QStringList{"WT", "1000", "0", "0", "0"} << 6;
    QTest::newRow("delay with spaces kept") << "Command2"
                                            << " 5 "
                                            << "請輸入延遲時間{1000為1秒}"
                                            << "延遲時間" << QStringList{"WT", " 5 ", "0", "0", "0"} << 6;
    QTest::newRow("home") << "Command4"
                          << ""
                          << ""
                          << "" << QStringList{"HOME", "0", "0", "0", "0"} << 11;
    QTest::newRow("loop") << "LOP"
                          << "3"
                          << "請輸入迴圈次數:"
                          << "迴圈" << QStringList{"LOOP", "3", "0", "0", "0"} << 7;
    QTest::newRow("loop end") << "LOOPEND"
                              << ""
                              << ""
                              << "" << QStringList{"LOOPEND", "0", "0", "0", "0"} << 8;
    QTest::newRow("label with space") << "標籤"
                                      << "A B"
                                      << "請輸入標籤名稱:"
                                      << "標籤" << QStringList{"LABLE", "A B", "0", "0", "0"} << 9;
    QTest::newRow("jump") << "跳至標籤"
                          << "起點"
                          << "請輸入跳至標籤名稱:"
                          << "跳至標籤" << QStringList{"GLABLE", "起點", "0", "0", "0"} << 10;
}

void TestMainWindow::stepButtons_placeTheirRow()
{
    QFETCH(QString, buttonName);
    QFETCH(QString, answer);
    QFETCH(QString, promptText);
    QFETCH(QString, promptTitle);
    QFETCH(QStringList, row);
    QFETCH(int, icon);

    addSteps({"HOME"});
    auto *button = m_window->findChild<QPushButton *>(buttonName);
    QVERIFY(button);
    m_op->clear();
    if (!promptText.isEmpty())
        m_op->answerText(answer);
    click(button);

    if (promptText.isEmpty()) {
        QVERIFY(m_op->shown().empty());
    } else {
        QCOMPARE(m_op->shown().size(), size_t(1));
        QCOMPARE(m_op->shown()[0].kind, ScriptedOperator::Kind::Prompt);
        QCOMPARE(m_op->shown()[0].text, promptText);
        QCOMPARE(m_op->shown()[0].title, promptTitle);
    }
    const EditState s = m_window->document().editState(m_window->editState());
    QCOMPARE(s.LastRow, 2);
    QCOMPARE(s.CurrentRow, 2);
    QVERIFY(!s.AppendMode);
    const Step placed = m_window->document().table().row(2);
    QCOMPARE(QStringList(placed.begin(), placed.end()), row);

    StepListView *list = m_window->ui().stepList;
    QCOMPARE(list->topLevelItemCount(), 2);
    QTreeWidgetItem *item = list->topLevelItem(1);
    QCOMPARE(item->text(0), QStringLiteral("2"));
    QCOMPARE(list->iconIndexAt(1), icon);
    for (int c = 1; c < 5; ++c)
        QCOMPARE(item->text(c), row.at(c));
}

void TestMainWindow::jumpPrompt_namesTheLabels_data()
{
    QTest::addColumn<QStringList>("program");
    QTest::addColumn<QString>("promptText");
    QTest::newRow("no labels") << QStringList{"HOME"} << "請輸入跳至標籤名稱:";
    QTest::newRow("each once, in row order")
        << QStringList{"LABLE|B", "HOME", "LABLE|A", "LABLE|B"} << "請輸入跳至標籤名稱:\n已有的標籤: B, A";
}

void TestMainWindow::jumpPrompt_namesTheLabels()
{
    QFETCH(QStringList, program);
    QFETCH(QString, promptText);
    addSteps({});
    const int lastRow = static_cast<int>(program.size());
    m_window->document().replaceProgram(talvex::testing::tableOf(program), lastRow, {});
    m_op->clear();
    m_op->answerText(QStringLiteral("A"));
    click(m_window->ui().jumpButton);
    QCOMPARE(m_op->texts(), QStringList{promptText});
    // What was typed is the label, whatever the prompt offered.
    QCOMPARE(m_window->document().table().cell(lastRow + 1, Column::Datum), QStringLiteral("A"));
}

void TestMainWindow::stepButtons_cancelledPromptPlacesNothing_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::newRow("delay") << "Command2";
    QTest::newRow("loop") << "LOP";
    QTest::newRow("label") << "標籤";
    QTest::newRow("jump") << "跳至標籤";
}

void TestMainWindow::stepButtons_cancelledPromptPlacesNothing()
{
    QFETCH(QString, buttonName);
    addSteps({"HOME"});
    m_op->answerCancel();
    click(m_window->findChild<QPushButton *>(buttonName));
    QCOMPARE(m_window->document().lastRow(), 1);
    QCOMPARE(m_window->ui().stepList->topLevelItemCount(), 1);
    QVERIFY(m_window->editState().AppendMode); // armed before the prompt, left set
    QCOMPARE(m_op->unscripted(), 0);
}

void TestMainWindow::delay_defaultIsPreviousDelay()
{
    addSteps({});
    m_op->answerText(QStringLiteral("250"));
    click(m_window->ui().delayButton);
    m_op->answerText(QStringLiteral("250"));
    click(m_window->ui().delayButton);
    QCOMPARE(m_op->shown()[0].defaultText, QString());
    QCOMPARE(m_op->shown()[1].defaultText, QStringLiteral("250"));
    QCOMPARE(m_window->values().DelayValue, QStringLiteral("250"));
}

void TestMainWindow::rowClick_beforeEditingThenInsertOpensStepButtons()
{
    addSteps({"HOME", "WT"});
    // Back to the state before editing, with rows listed (as after opening a file).
    m_window->stepEditor().disableStepButtons();
    clickRow(2);
    QCOMPARE(m_window->editState().CurrentRow, 2);
    for (QPushButton *b : m_window->ui().rowButtons())
        QVERIFY(b->isEnabled());
    QVERIFY(stepButtons().front()->isEnabled() == false);

    click(m_window->ui().insertButton);
    for (QPushButton *b : stepButtons())
        QVERIFY(b->isEnabled());
    QVERIFY(!m_window->ui().startEditingButton->isEnabled());
    for (QPushButton *b : m_window->ui().rowButtons())
        QVERIFY(!b->isEnabled());
    QVERIFY(m_window->editState().InsertMode);
    QVERIFY(!m_window->editState().AppendMode);
}

void TestMainWindow::insert_placesAtClickedRowOnceThenAppends()
{
    addSteps({"HOME", "LOOPEND", "HOME"});
    clickRow(2);
    click(m_window->ui().insertButton);
    m_op->answerText(QStringLiteral("1000"));
    click(m_window->ui().delayButton);
    QCOMPARE(rows(), (QStringList{"HOME:0", "WT:1000", "LOOPEND:0", "HOME:0"}));
    QCOMPARE(m_window->editState().CurrentRow, 2);
    click(m_window->ui().loopEndButton);
    QCOMPARE(rows().last(), QStringLiteral("LOOPEND:0"));
    QCOMPARE(m_window->document().lastRow(), 5);
    QCOMPARE(m_window->ui().stepList->topLevelItem(4)->text(0), QStringLiteral("5"));
}

void TestMainWindow::cancelledPromptThenInsert_insertsExactlyOnce()
{
    addSteps({"HOME", "HOME"});
    m_op->answerCancel();
    click(m_window->ui().loopButton); // arms the append, then cancelled
    QVERIFY(m_window->editState().AppendMode);
    clickRow(1);
    click(m_window->ui().insertButton);
    QVERIFY(!m_window->editState().AppendMode);
    click(m_window->ui().loopEndButton);
    QCOMPARE(rows(), (QStringList{"LOOPEND:0", "HOME:0", "HOME:0"}));
}

void TestMainWindow::modify_overwritesRowInPlace()
{
    addSteps({"HOME", "LOOPEND", "HOME"});
    clickRow(2);
    click(m_window->ui().modifyButton);
    QVERIFY(m_window->editState().ModifyMode);
    for (QPushButton *b : m_window->ui().rowButtons())
        QVERIFY(!b->isEnabled());
    m_op->answerText(QStringLiteral("1000"));
    click(m_window->ui().delayButton);
    QCOMPARE(rows(), (QStringList{"HOME:0", "WT:1000", "HOME:0"}));
    QCOMPARE(m_window->ui().stepList->topLevelItemCount(), 3);
    QCOMPARE(m_window->ui().stepList->iconIndexAt(1), 6);
}

void TestMainWindow::delete_closesGapAndNeedsFreshRowClick()
{
    addSteps({"HOME", "WT", "LOOPEND"});
    clickRow(2);
    click(m_window->ui().deleteButton);
    QCOMPARE(rows(), (QStringList{"HOME:0", "LOOPEND:0"}));
    QCOMPARE(m_window->document().table().row(3), Step{});
    QCOMPARE(m_window->ui().stepList->topLevelItem(1)->text(0), QStringLiteral("2"));
    for (QPushButton *b : m_window->ui().rowButtons())
        QVERIFY(!b->isEnabled());

    clickRow(2);
    click(m_window->ui().deleteButton);
    clickRow(1);
    click(m_window->ui().deleteButton);
    QCOMPARE(m_window->document().lastRow(), 0);
    QCOMPARE(m_window->ui().stepList->topLevelItemCount(), 0);
}

void TestMainWindow::stepList_onlyTheOperatorsChoiceArmsRowButtons_data()
{
    QTest::addColumn<int>("clicked"); // 0: the list gets focus by Tab instead
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("chosen"); // 0: no row chosen
    QTest::newRow("Tab alone") << 0 << QList<int>{} << 0;
    QTest::newRow("Tab, Down") << 0 << QList<int>{Qt::Key_Down} << 2;
    QTest::newRow("Tab, End") << 0 << QList<int>{Qt::Key_End} << 4;
    QTest::newRow("Tab, Page Down") << 0 << QList<int>{Qt::Key_PageDown} << 4;
    QTest::newRow("Tab, Space") << 0 << QList<int>{Qt::Key_Space} << 1;
    QTest::newRow("click 3, Up") << 3 << QList<int>{Qt::Key_Up} << 2;
    QTest::newRow("click 3, Home") << 3 << QList<int>{Qt::Key_Home} << 1;
    QTest::newRow("click 2, Page Up") << 2 << QList<int>{Qt::Key_PageUp} << 1;
}

void TestMainWindow::stepList_onlyTheOperatorsChoiceArmsRowButtons()
{
    QFETCH(int, clicked);
    QFETCH(QList<int>, keys);
    QFETCH(int, chosen);
    addSteps({"HOME", "WT", "LOOPEND", "HOME"});
    StepListView *list = m_window->ui().stepList;
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    if (clicked)
        clickRow(clicked);
    else
        list->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(list->hasFocus());
    for (const int key : keys)
        QTest::keyClick(list, Qt::Key(key));
    QCOMPARE(m_window->editState().CurrentRow, chosen ? chosen : 4);
    for (QPushButton *b : m_window->ui().rowButtons())
        QCOMPARE(b->isEnabled(), chosen != 0);
}

void TestMainWindow::rowButtons_onNonStepRowDoNothing()
{
    addSteps({"HOME", "WT"});
    clickRow(1);
    // As after New: rows gone, buttons still enabled.
    m_window->editState().CurrentRow = 0;
    m_window->document().clearProgram({});
    m_window->editState().AppendMode = false;
    for (QPushButton *b : m_window->ui().rowButtons())
        click(b);
    const EditState s = m_window->document().editState(m_window->editState());
    QVERIFY(!s.InsertMode && !s.ModifyMode);
    QCOMPARE(s.LastRow, 0);
    QCOMPARE(m_window->document().table().row(0), ProgramTable::header());
}

void TestMainWindow::point_armsRequest_data()
{
    QTest::addColumn<bool>("insertPending");
    QTest::newRow("nothing pending arms the append") << false;
    QTest::newRow("insert pending keeps the insert") << true;
}

void TestMainWindow::point_armsRequest()
{
    QFETCH(bool, insertPending);
    addSteps({"HOME"});
    if (insertPending) {
        clickRow(1);
        click(m_window->ui().insertButton);
    }
    m_window->document().setDirty(false);
    QSignalSpy requested(m_window, &MainWindow::pointRequested);
    click(m_window->ui().pointButton);
    QCOMPARE(requested.count(), 1);
    QVERIFY(m_window->document().isDirty());
    QCOMPARE(m_window->values().PointKindFlag, QStringLiteral("1"));
    QCOMPARE(m_window->editState().AppendMode, !insertPending);
    QCOMPARE(m_window->editState().InsertMode, insertPending);
    QVERIFY(m_window->statusTimer().isActive());
}

void TestMainWindow::fullTable_noticeAndNothingChanges()
{
    addSteps({});
    ProgramTable full = m_window->document().table();
    for (int r = 1; r <= 500; ++r)
        full.setRow(r, {QStringLiteral("WT"), QString::number(r), QStringLiteral("0"), QStringLiteral("0"),
                        QStringLiteral("0")});
    m_window->document().replaceProgram(full, 500, {});
    m_window->editState().CurrentRow = 500;
    const ProgramTable &table = m_window->document().table();
    click(m_window->ui().homeButton);
    QCOMPARE(m_op->notices(), QStringList{programFullMessage()});
    QCOMPARE(m_op->shown()[0].title, QStringLiteral("訊息"));
    QCOMPARE(m_window->document().lastRow(), 500);
    QCOMPARE(m_window->editState().CurrentRow, 500);
    QCOMPARE(m_window->ui().stepList->topLevelItemCount(), 500);
    QCOMPARE(table.cell(500, 0), QStringLiteral("WT"));
}

void TestMainWindow::portMenu_showsAndRemembersPort()
{
    m_window->ui().comActions[2]->trigger();
    QCOMPARE(m_window->ui().statusPort->text(), QStringLiteral("COM3"));
    QCOMPARE(m_window->values().ComPort, QStringLiteral("3"));
    QFile f(QStringLiteral("DATA.TXT"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("3\r\n"));
    f.close();

    MainWindow next(*m_op, *m_port, m_fixture->clock());
    QCOMPARE(next.ui().statusPort->text(), QStringLiteral("COM3"));

    // The file's place taken by a directory: the operator is told, the choice still shows.
    QVERIFY(QFile::remove(QStringLiteral("DATA.TXT")));
    QVERIFY(QDir().mkdir(QStringLiteral("DATA.TXT")));
    m_window->ui().comActions[1]->trigger();
    QCOMPARE(m_window->ui().statusPort->text(), QStringLiteral("COM2"));
    QCOMPARE(m_op->notices().size(), 1);
    QVERIFY(m_op->notices().at(0).contains(QStringLiteral("DATA.TXT")));
}

void TestMainWindow::accelerationSlider_writesText1()
{
    QSlider *slider = m_window->ui().accelerationSlider;
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageUp);
    QCOMPARE(m_window->ui().accelerationText->text(), QStringLiteral("2005"));
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(2, slider->height() / 2));
    QCOMPARE(m_window->ui().accelerationText->text(), QString::number(slider->value()));
}

void TestMainWindow::accessibility_namesAndMnemonics()
{
    auto nameOf = [](QObject *o) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(o);
        return iface ? iface->text(QAccessible::Name) : QString();
    };
    const MainWindowUi &ui = m_window->ui();
    QCOMPARE(nameOf(ui.startEditingButton), QStringLiteral("編輯開始"));
    QCOMPARE(nameOf(ui.jumpButton), QStringLiteral("跳至標籤"));
    QCOMPARE(nameOf(ui.setAccelerationBox), QStringLiteral("修改加速度"));
    QCOMPARE(nameOf(ui.inputBoxes[15]), QStringLiteral("16"));
    const QList<QGroupBox *> frames = {ui.functionFrame, ui.accelerationFrame, ui.rowFrame, ui.outputFrame,
                                       ui.inputFrame};
    const QStringList frameNames = {"功能", "加速度", "修改", "OUTPUT", "INPUT"};
    for (int i = 0; i < frames.size(); ++i)
        QCOMPARE(nameOf(frames.at(i)), frameNames.at(i));
    QCOMPARE(nameOf(ui.functionKeysTab), QStringLiteral("功能鍵"));
    QCOMPARE(nameOf(ui.pointsTab), QStringLiteral("座標點"));
    QCOMPARE(ui.functionKeysTab->tabText(0), QStringLiteral("功能鍵"));
    QCOMPARE(nameOf(ui.accelerationText), QStringLiteral("加速度設定值"));
    QCOMPARE(nameOf(ui.internalAcceleration), QStringLiteral("內部加速度"));
    QCOMPARE(nameOf(ui.accelerationSlider), QStringLiteral("加速度"));
    QCOMPARE(nameOf(ui.stepList), QStringLiteral("座標點"));

    QCOMPARE(ui.fileMenu->title(), QStringLiteral("檔案(&F)"));
    QCOMPARE(ui.newAction->text(), QStringLiteral("建立新檔(&N)"));
    QCOMPARE(ui.openAction->text(), QStringLiteral("開啟舊檔(&O)"));
    QCOMPARE(ui.saveAsAction->text(), QStringLiteral("另存新檔(&A)"));
    QCOMPARE(ui.settingsMenu->title(), QStringLiteral("設定(&S)"));
    QCOMPARE(ui.comPortMenu->title(), QStringLiteral("COM_PORT"));
    QCOMPARE(ui.exitAction->text(), QStringLiteral("結束(&E)"));

    // Alt+F opens the file menu.
    QTest::keyClick(m_window, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(ui.fileMenu->isVisible());
    ui.fileMenu->close();
}

void TestMainWindow::fileMenu_saveThenOpenRestoresProgramAndDisablesRowButtons()
{
    addSteps({"LOOP", "HOME", "LOOPEND"});
    const QString file = m_fixture->filePath(QStringLiteral("demo.tvx"));
    m_op->answerFile(file);
    m_window->ui().saveAsAction->trigger();
    QVERIFY(QFile::exists(file));

    clickRow(2);
    m_op->answerNo(); // discard
    m_window->ui().newAction->trigger();
    QCOMPARE(m_window->document().lastRow(), 0);
    QCOMPARE(m_window->ui().stepList->topLevelItemCount(), 0);
    for (QPushButton *b : m_window->ui().rowButtons())
        QVERIFY(!b->isEnabled());

    m_op->answerFile(file);
    m_window->ui().openAction->trigger();
    QCOMPARE(rows(), (QStringList{"LOOP:3", "HOME:0", "LOOPEND:0"}));
    QCOMPARE(m_window->ui().stepList->topLevelItemCount(), 3);
    QCOMPARE(m_window->ui().stepList->iconIndexAt(0), 7);
    QVERIFY(!m_window->document().isDirty());
    for (QPushButton *b : m_window->ui().rowButtons())
        QVERIFY(!b->isEnabled());
    QCOMPARE(m_op->unscripted(), 0);
}

void TestMainWindow::fileMenu_openDamagedFileStaysInTable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lastRow");      // -1: anything the table can hold
    QTest::addColumn<QString>("step1");    // how step 1 starts, "KIND:IN"
    QTest::addColumn<QStringList>("told"); // what the one notice names; empty: none; "?": not known

    quint32 seed = 31337;
    auto noise = [&seed](int size, bool lineBreaks) {
        QByteArray out;
        for (int i = 0; i < size; ++i) {
            seed = seed * 1103515245u + 12345u;
            char c = char(seed >> 16);
            if (!lineBreaks && (c == '\r' || c == '\n' || c == ' '))
                c = 'x';
            out.append(c);
        }
        return out;
    };
    const QByteArray header = "FUNCTINO    IN          XPOINT      YPOINT      OUT\r\n";
    QByteArray randomLines;
    for (int l = 0; l < 10000; ++l)
        randomLines += noise(40, false) + "\r\n";
    QByteArray fieldsLine = "WT";
    for (int f = 1; f < 20; ++f)
        fieldsLine += "  " + QByteArray::number(f);
    fieldsLine += "\r\n";
    const QByteArray manyLines = QByteArray("HOME        0           0           0           0\r\n").repeated(10000);
    const QString cutRows = QStringLiteral("500 步");
    const QString cutFields = QStringLiteral("欄位");
    const QString cutLine = QStringLiteral("超過 4096 個字");
    const QByteArray longLine = "POINT       " + QByteArray("1 ").repeated(qsizetype(5) * 1024 * 1024) + "\r\n";
    const QByteArray longCell = "WT          " + QByteArray(qsizetype(10) * 1024 * 1024, '7') + "\r\n";

    QTest::newRow("random bytes") << noise(256 * 1024, true) << -1 << QString() << QStringList{"?"};
    QTest::newRow("10000 lines of random bytes") << randomLines << 500 << QString() << QStringList{cutRows};
    QTest::newRow("10000 lines") << manyLines << 500 << "HOME:0" << QStringList{cutRows};
    QTest::newRow("20 fields a line") << fieldsLine.repeated(3) << 2 << "WT:1" << QStringList{cutFields};
    QTest::newRow("10000 lines of 20 fields")
        << fieldsLine.repeated(10000) << 500 << "WT:1" << QStringList{cutRows, cutFields};
    QTest::newRow("one 10 MB line of fields") << header + longLine << 1 << "POINT:1" << QStringList{cutFields, cutLine};
    QTest::newRow("a 10 MB cell, then a step")
        << header + longCell + "HOME        0           0           0           0\r\n"
        << 2 << "WT:" + QString(4096 - 12, QLatin1Char('7')) << QStringList{cutLine};
    QTest::newRow("Big5 label") << header + "LABLE       \xb0\x5f\xc2\x49        0           0           0\r\n"
                                << 1 << "LABLE:起點" << QStringList{};
    QTest::newRow("invalid Big5") << header + "LABLE       \xff\xfe\x81\xa4       0           0           0\r\n"
                                              "HOME        0           0           0           0\xa4\r\n"
                                  << 2 << "LABLE:" << QStringList{};
}

void TestMainWindow::fileMenu_openDamagedFileStaysInTable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, lastRow);
    QFETCH(QString, step1);
    QFETCH(QStringList, told);
    const QString file = m_fixture->filePath(QStringLiteral("damaged.tvx"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();

    m_op->answerFile(file);
    m_window->ui().openAction->trigger();
    const EditState s = m_window->document().editState(m_window->editState());
    QVERIFY2(s.LastRow >= 0 && s.LastRow <= ProgramTable::kMaxSteps, qPrintable(QString::number(s.LastRow)));
    if (lastRow >= 0)
        QCOMPARE(s.LastRow, lastRow);
    QCOMPARE(m_window->ui().stepList->topLevelItemCount(), s.LastRow);
    if (s.LastRow > 0)
        QCOMPARE(m_window->ui().stepList->topLevelItem(s.LastRow - 1)->text(0), QString::number(s.LastRow));
    QVERIFY2(rows().value(0).startsWith(step1), qPrintable(rows().value(0)));
    QCOMPARE(m_op->unscripted(), 0);
    if (told == QStringList{"?"}) {
        for (const ScriptedOperator::Shown &shown : m_op->shown())
            QVERIFY(shown.kind != ScriptedOperator::Kind::Notice || shown.title == QStringLiteral("訊息"));
    } else if (told.isEmpty()) {
        QVERIFY(m_op->notices().isEmpty());
    } else {
        QCOMPARE(m_op->notices().size(), 1);
        for (const QString &word : told)
            QVERIFY2(m_op->notices().at(0).contains(word), qPrintable(m_op->notices().at(0)));
    }

    // The station goes on: a step placed after the opened program lands right behind it.
    if (s.LastRow < ProgramTable::kMaxSteps) {
        const int before = s.LastRow;
        addSteps({"HOME"});
        QCOMPARE(m_window->document().lastRow(), before + 1);
        QCOMPARE(m_window->document().table().cell(before + 1, 0), QStringLiteral("HOME"));
    }
}

void TestMainWindow::link_connectTickAndExitThroughTheWindow()
{
    m_port->responder = [](const QByteArray &line) -> QByteArray {
        if (line == "?VM")
            return "V\r";
        if (line == "?INP")
            return "32769\r";
        return line == "?VA" ? QByteArray("1800\r") : QByteArray();
    };
    QTRY_VERIFY(!m_window->statusTimer().isActive()); // first tick: port closed
    click(m_window->ui().connectButton);
    QCOMPARE(m_op->notices(), QStringList{" 準備連線終止運作中程式"});
    QVERIFY(m_window->statusTimer().isActive());
    QCOMPARE(m_window->ui().statusLink->text(), QStringLiteral("連線中"));

    QTest::mouseClick(m_window->ui().outputBoxes[2], Qt::LeftButton);
    m_port->clearWrites();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->ui().internalAcceleration->text() == QLatin1String("1800\r"), 3000);
    QTRY_VERIFY(m_port->written().contains("SET P3\r"));
    QVERIFY(m_window->ui().inputBoxes[0]->isChecked());
    QVERIFY(m_window->ui().inputBoxes[15]->isChecked());
    QVERIFY(!m_window->ui().inputBoxes[1]->isChecked());
    QVERIFY(m_window->ui().locateButton->isEnabled());
    QVERIFY(m_window->ui().originButton->isEnabled());

    m_port->clearWrites();
    m_window->ui().exitAction->trigger();
    QVERIFY(m_port->written().startsWith("EC 1\r"));
    QVERIFY(!m_port->isOpen());
    QVERIFY(!m_window->isVisible());
}

void TestMainWindow::link_inputBoxClickedWhileDown()
{
    QTest::mouseClick(m_window->ui().inputBoxes[4], Qt::LeftButton);
    QCOMPARE(m_op->notices(), QStringList{" Not Response !!  連線錯誤 !"});
    QCOMPARE(m_window->ui().statusLink->text(), QStringLiteral("未連線"));
}

void TestMainWindow::window_growsIntoTheStepListWhichFollowsPlacedRows()
{
    const MainWindowUi &ui = m_window->ui();
    // The form's size is the smallest: no horizontal scroll bar there, the columns share
    // the list's width.
    QCOMPARE(m_window->size(), m_window->minimumSize());
    QVERIFY(!ui.stepList->horizontalScrollBar()->isVisible());
    QVERIFY(ui.stepList->header()->length() <= ui.stepList->viewport()->width());
    const QSize list = ui.stepList->size();
    const QSize frame = ui.accelerationFrame->size();
    m_window->resize(m_window->size() + QSize(300, 200));
    QTRY_COMPARE(ui.stepList->size(), list + QSize(300, 200));
    QCOMPARE(ui.accelerationFrame->size(), frame);
    QVERIFY(ui.stepList->header()->length() <= ui.stepList->viewport()->width());

    // A placed row is scrolled into view, the last of many as a row inserted above.
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << QStringLiteral("HOME");
    addSteps(many);
    const auto shown = [&](int row) {
        const QRect rect = ui.stepList->visualItemRect(ui.stepList->topLevelItem(row - 1));
        return ui.stepList->viewport()->rect().contains(rect);
    };
    QVERIFY(shown(40));
    ui.stepList->scrollToTop();
    clickRow(1);
    ui.stepList->scrollToBottom();
    click(ui.insertButton);
    click(ui.homeButton);
    QVERIFY(shown(1));
}

void TestMainWindow::fileMenu_saveWritesTheProgramsFileShownInItsPanel()
{
    const MainWindowUi &ui = m_window->ui();
    QSignalSpy used(m_window, &MainWindow::programFileUsed);
    QCOMPARE(ui.saveAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(ui.newAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    QCOMPARE(ui.openAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(ui.statusFile->text(), QStringLiteral("(未命名)"));
    addSteps({"HOME"});
    QCOMPARE(ui.statusFile->text(), QStringLiteral("(未命名) *"));

    // Without a file of its own, 存檔 asks for a name, as 另存新檔 does.
    const QString file = m_fixture->filePath(QStringLiteral("demo.tvx"));
    m_op->answerFile(file);
    ui.saveAction->trigger();
    QCOMPARE(m_op->shown().size(), size_t(1));
    QCOMPARE(ui.statusFile->text(), QStringLiteral("demo.tvx"));
    QCOMPARE(ui.statusFile->toolTip(), file);
    // With one, it writes there without a dialog.
    addSteps({"WT"});
    QCOMPARE(ui.statusFile->text(), QStringLiteral("demo.tvx *"));
    ui.saveAction->trigger();
    QCOMPARE(m_op->shown().size(), size_t(2)); // the delay's prompt only
    QCOMPARE(ui.statusFile->text(), QStringLiteral("demo.tvx"));
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll().count("\r\n"), 3);
    QCOMPARE(used.count(), 2);
    QCOMPARE(used.front().front().toString(), file);
}

void TestMainWindow::tooltips_onEveryControl()
{
    for (const QAbstractButton *b : m_window->findChildren<QAbstractButton *>()) {
        if (b->isVisibleTo(m_window) && !b->inherits("QTabBar"))
            QVERIFY2(!b->toolTip().isEmpty(), qPrintable(b->objectName() + b->text()));
    }
    for (const QMenu *menu : m_window->menuBar()->findChildren<QMenu *>()) {
        for (const QAction *a : menu->actions()) {
            if (!a->isSeparator() && !a->menu() && a->text() != QStringLiteral("(無)"))
                QVERIFY2(!a->statusTip().isEmpty(), qPrintable(a->text()));
        }
    }
}

void TestMainWindow::statusMessage_saysWhatTheNextStepDoesAndHowTheUploadEnded()
{
    const MainWindowUi &ui = m_window->ui();
    QLabel *message = ui.statusMessage;
    const auto says = [message](const QString &text) {
        return message->text() == text && message->accessibleName() == text;
    };
    QCOMPARE(message->text(), QString());
    QCOMPARE(message->accessibleDescription(), QStringLiteral("狀態訊息"));
    QCOMPARE(ui.statusLink->parentWidget(), message->parentWidget()); // a panel beside the link and port panels

    addSteps({"HOME", "HOME", "HOME"});
    QVERIFY(says(QStringLiteral("加入: 下一個步驟將放在第 4 行")));
    // While the prompt is up, the step being placed is told.
    QString whilePrompted;
    m_op->onShow = [&](const ScriptedOperator::Shown &) { whilePrompted = message->text(); };
    clickRow(3);
    click(ui.insertButton);
    QVERIFY(says(QStringLiteral("插入: 下一個步驟將放在第 3 行之前")));
    m_op->answerText(QStringLiteral("500"));
    click(ui.delayButton);
    QCOMPARE(whilePrompted, QStringLiteral("插入: 下一個步驟將放在第 3 行之前"));
    QVERIFY(says(QStringLiteral("加入: 下一個步驟將放在第 5 行")));
    clickRow(2);
    click(ui.modifyButton);
    QVERIFY(says(QStringLiteral("修改第 2 行")));
    click(ui.homeButton);
    QVERIFY(says(QStringLiteral("加入: 下一個步驟將放在第 5 行")));
    QVERIFY(ui.statusLink->isVisible() && ui.statusPort->isVisible() && message->isVisible());

    m_port->responder = [](const QByteArray &line) -> QByteArray {
        return line == "?VM" ? QByteArray("TALVEX 2.1\r") : QByteArray();
    };
    m_op->onShow = {};
    m_op->answerYes(); // store
    m_op->answerNo();  // run
    click(ui.uploadButton);
    QVERIFY(m_port->written().contains("SAVE P\r"));
    QVERIFY(!m_port->written().contains("G\r"));
    QVERIFY(says(QStringLiteral("上傳完成: 程式已儲存, 未執行")));
    QCOMPARE(ui.statusLink->text(), QStringLiteral("未連線"));
}

void TestMainWindow::statusTips_showInTheMessagePanelAndGiveItBack()
{
    const MainWindowUi &ui = m_window->ui();
    StatusMessagePanel *message = ui.statusMessage;
    QStatusBar *bar = m_window->statusBar();
    const auto tipFromMenu = [this](QAction *entry) {
        // As a menu of the menu bar does while the pointer rests on an entry, and
        // with the empty tip when it leaves.
        if (entry) {
            QVERIFY(entry->showStatusText(m_window->menuBar()));
        } else {
            QStatusTipEvent gone{QString()};
            QApplication::sendEvent(m_window->menuBar(), &gone);
        }
    };
    addSteps({"HOME"});
    const QString pending = QStringLiteral("加入: 下一個步驟將放在第 2 行");
    QCOMPARE(message->text(), pending);

    tipFromMenu(ui.saveAsAction);
    QCOMPARE(message->text(), ui.saveAsAction->statusTip());
    QCOMPARE(message->accessibleName(), ui.saveAsAction->statusTip());
    QCOMPARE(bar->currentMessage(), QString());
    for (QLabel *panel : {ui.statusLink, ui.statusPort})
        QVERIFY2(panel->isVisible() && !panel->text().isEmpty(), qPrintable(panel->objectName()));
    // A message that comes while the tip shows waits for it to go.
    clickRow(1);
    click(ui.insertButton);
    QCOMPARE(message->text(), ui.saveAsAction->statusTip());
    tipFromMenu(nullptr);
    QCOMPARE(message->text(), QStringLiteral("插入: 下一個步驟將放在第 1 行之前"));
    QCOMPARE(message->accessibleName(), message->text());
    tipFromMenu(ui.comActions[2]);
    QCOMPARE(message->text(), QStringLiteral("使用 COM3 連線"));
    tipFromMenu(nullptr);
    QCOMPARE(message->text(), QStringLiteral("插入: 下一個步驟將放在第 1 行之前"));
}

void TestMainWindow::stepList_rowsSayWhatTheirStepDoes()
{
    StepListView *list = m_window->ui().stepList;
    m_window->document().replaceProgram(testing::tableOf({"POINT|5|100|200|5"}), 1, QStringLiteral("開啟舊檔"));
    for (int c = 0; c < list->columnCount(); ++c)
        QCOMPARE(list->topLevelItem(0)->toolTip(c), QStringLiteral("等待輸入 1、3 後移到 X 100, Y 200, 設定輸出 1、3"));
    addSteps({"HOME"});
    QCOMPARE(list->topLevelItem(1)->toolTip(4), QStringLiteral("X、Y 軸回原點"));
    QCOMPARE(list->topLevelItem(0)->toolTip(1), QStringLiteral("等待輸入 1、3 後移到 X 100, Y 200, 設定輸出 1、3"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

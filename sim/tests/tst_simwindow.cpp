// The simulator's window (offscreen): switches drive the inputs, lamps and the
// plane follow the machine, hand moves only after "HOFF", the program shows its
// running line, and the traffic log shows both directions.
#include "simtestutil.h"

#include "sim/engine/controlchannel.h"
#include "sim/engine/controller.h"
#include "sim/engine/linesession.h"
#include "sim/window/inputswitches.h"
#include "sim/window/jogpanel.h"
#include "sim/window/outputlamps.h"
#include "sim/window/planeview.h"
#include "sim/window/simwindow.h"
#include "sim/window/trafficlog.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace talvex;
using namespace talvex::sim;
using namespace talvex::sim::testing;

class TestSimWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void inputSwitches_flipInputsBothWays();
    void outputLamps_followOutputs();
    void jog_onlyWhileHandFree();
    void program_runningLineAndStateShown();
    void program_errorShownInRed();
    void plane_pointsAndHeadFollowProgram();
    void trafficLog_bothDirections();
    void window_fitsTheScreenWithItsStatusBar();
    void stateText_waits_data();
    void stateText_waits();
    void commandErrors_reportedInEventsStateAndWindow_data();
    void commandErrors_reportedInEventsStateAndWindow();

private:
    QTemporaryDir m_dir;
    ManualClock m_clock;
    std::unique_ptr<Controller> m_controller;
    std::unique_ptr<LineSession> m_session;
    std::unique_ptr<SimWindow> m_window;
};

void TestSimWindow::init()
{
    m_clock.set(0);
    m_controller = std::make_unique<Controller>(m_clock, m_dir.filePath("store.txt"));
    m_session = std::make_unique<LineSession>(*m_controller, m_clock, LineBehaviour());
    m_window = std::make_unique<SimWindow>(*m_controller, *m_session);
    m_window->setDevice("/dev/pts/77");
    m_window->show();
}

void TestSimWindow::cleanup()
{
    m_window.reset();
    m_session.reset();
    m_controller.reset();
}

void TestSimWindow::inputSwitches_flipInputsBothWays()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("TALVEX 模擬控制器 - /dev/pts/77"));
    QCOMPARE(m_window->inputs()->title(), QStringLiteral("輸入"));
    QTest::mouseClick(m_window->inputs()->button(3), Qt::LeftButton);
    QTest::mouseClick(m_window->inputs()->button(16), Qt::LeftButton);
    QCOMPARE(int(m_controller->machine().inputs), 4 + 32768);
    QTest::mouseClick(m_window->inputs()->button(3), Qt::LeftButton);
    QCOMPARE(int(m_controller->machine().inputs), 32768);

    // Inputs set from outside (the control channel) show on the next refresh.
    m_controller->setInputs(0x0101);
    m_window->refresh();
    for (int k = 1; k <= 16; ++k)
        QCOMPARE(m_window->inputs()->button(k)->isChecked(), k == 1 || k == 9);
    QCOMPARE(int(m_controller->machine().inputs), 0x0101); // showing them sends nothing back
}

void TestSimWindow::outputLamps_followOutputs()
{
    QCOMPARE(m_window->outputs()->title(), QStringLiteral("輸出"));
    m_session->receive("SET P2\rSET P8\r");
    m_window->refresh();
    QCOMPARE(int(m_window->outputs()->word()), 2 + 128);
    m_session->receive("CLR P8\r");
    m_window->refresh();
    QCOMPARE(int(m_window->outputs()->word()), 2);
}

void TestSimWindow::jog_onlyWhileHandFree()
{
    JogPanel *jog = m_window->jog();
    QCOMPARE(jog->title(), QStringLiteral("手動移動"));
    QVERIFY(!jog->button('x', 1)->isEnabled());
    m_session->receive("HOFF\r");
    m_window->refresh();
    QVERIFY(jog->button('x', 1)->isEnabled());
    QCOMPARE(jog->stepMm(), 10.0);
    QTest::mouseClick(jog->button('x', 1), Qt::LeftButton);
    QTest::mouseClick(jog->button('x', 1), Qt::LeftButton);
    QTest::mouseClick(jog->button('y', -1), Qt::LeftButton);
    QCOMPARE(m_controller->machine().x.position(m_clock.nowMs()), 20.0);
    QCOMPARE(m_controller->machine().y.position(m_clock.nowMs()), -10.0);
    QCOMPARE(m_window->plane()->head(), QPointF(20, -10));
    m_session->receive("?PEX\r");
    QCOMPARE(m_session->takeDue(), QByteArray("20\r"));
    m_session->receive("HON\r");
    m_window->refresh();
    QVERIFY(!jog->button('y', 1)->isEnabled());
}

void TestSimWindow::program_runningLineAndStateShown()
{
    m_session->receive(downloadBytes(workedExample()) + "G\r");
    QCOMPARE(m_window->programList()->count(), 25);
    QCOMPARE(m_window->programList()->item(12)->text(), QStringLiteral("  12  XMA 100;"));
    m_window->refresh();
    QCOMPARE(m_window->highlightedLine(), 10);
    QCOMPARE(m_window->stateLabel()->text(), QStringLiteral("狀態: 執行中 第 10 行 (等待輸入 3)"));
    QVERIFY(m_window->programList()->item(10)->background() != QBrush());
    QTest::mouseClick(m_window->inputs()->button(3), Qt::LeftButton);
    QTest::mouseClick(m_window->inputs()->button(1), Qt::LeftButton);
    m_clock.advance(1000);
    m_window->refresh();
    QCOMPARE(m_window->highlightedLine(), 14);
    QCOMPARE(m_window->stateLabel()->text(), QStringLiteral("狀態: 執行中 第 14 行 (等待移動完成)"));
    QCOMPARE(m_window->programList()->item(10)->background(), QBrush());
    m_clock.advance(60000);
    m_window->refresh();
    QCOMPARE(m_window->highlightedLine(), -1);
    QCOMPARE(m_window->stateLabel()->text(), QStringLiteral("狀態: 閒置"));
}

void TestSimWindow::program_errorShownInRed()
{
    m_session->receive(downloadBytes({"{", "JP $起點;", "}"}) + "G\r");
    m_window->refresh();
    QCOMPARE(m_window->highlightedLine(), 1);
    QCOMPARE(m_window->stateLabel()->text(), QStringLiteral("狀態: 錯誤: 第 1 行「JP $起點;」: 找不到標籤 ($起點)"));
    QVERIFY(m_window->stateLabel()->styleSheet().contains("#c00000"));
    QCOMPARE(m_window->programList()->item(1)->text(), QStringLiteral("   1  JP $起點;"));
}

void TestSimWindow::plane_pointsAndHeadFollowProgram()
{
    m_session->receive(downloadBytes({"{", "VM=100;", "XMA 100;", "YMA 50;", "DN;", "XMA 20;", "DN;", "}"}));
    QCOMPARE(m_window->plane()->points(), (QList<QPointF>{{100, 50}, {20, 50}}));
    m_session->receive("G\r");
    m_clock.advance(500);
    m_window->refresh();
    const QPointF mid = m_window->plane()->head();
    QVERIFY(mid.x() > 0 && mid.x() < 100);
    m_clock.advance(5000);
    m_window->refresh();
    QCOMPARE(m_window->plane()->head(), QPointF(20, 50));
    QCOMPARE(m_window->plane()->path().constFirst(), QPointF(0, 0));
    QVERIFY(m_window->plane()->path().contains(mid));
    m_window->plane()->clearPath();
    QCOMPARE(m_window->plane()->path(), (QVector<QPointF>{{20, 50}}));
    QVERIFY(!m_window->grab().isNull()); // paints without trouble
}

void TestSimWindow::trafficLog_bothDirections()
{
    m_session->receive("\x1b?VA\r");
    m_session->takeDue();
    m_session->receive("DL\r$\xb0\x5f:;\r\r");
    const QString log = m_window->log()->toPlainText();
    QVERIFY(log.contains(QStringLiteral("← <ESC>")));
    QVERIFY(log.contains(QStringLiteral("← ?VA")));
    QVERIFY(log.contains(QStringLiteral("→ 2000")));
    QVERIFY(log.contains(QStringLiteral("← $起:;")));
    QVERIFY(log.contains(QStringLiteral("← (空行)")));
    QVERIFY(log.contains(QStringLiteral("• 收到程式 1 行")));
    QCOMPARE(TrafficLog::printable("A\x1b\r\x01"), QStringLiteral("A<ESC><CR><01>"));
}

void TestSimWindow::window_fitsTheScreenWithItsStatusBar()
{
    // Everything it shows fits a 1024 x 768 screen beside a frame and a task bar,
    // and it opens no larger than the screen it is on leaves room for.
    const QSize smallest = m_window->minimumSize();
    const QSize smallScreen = QSize(1024, 768) - SimWindow::kFrameAllowance;
    QVERIFY2(smallScreen.expandedTo(smallest) == smallScreen,
             qPrintable(QStringLiteral("%1 x %2").arg(smallest.width()).arg(smallest.height())));
    const QSize room = m_window->screen()->availableGeometry().size() - SimWindow::kFrameAllowance;
    QCOMPARE(m_window->size(), SimWindow::kPreferredSize.boundedTo(room).expandedTo(smallest));
    const QStatusBar *status = m_window->statusBar();
    QVERIFY(status->isVisible() && m_window->rect().contains(status->geometry()));
}

void TestSimWindow::stateText_waits_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<double>("at");
    QTest::addColumn<QString>("text");
    QTest::newRow("wait time") << QStringList{"WT 2500;"} << 1000.0 << QStringLiteral("執行中 第 0 行 (等待 1.5 秒)");
    QTest::newRow("no program") << QStringList{} << 0.0 << QStringLiteral("錯誤: 沒有程式");
    QTest::newRow("ended") << QStringList{"OUTP 1;"} << 0.0 << QStringLiteral("閒置");
}

void TestSimWindow::stateText_waits()
{
    QFETCH(QStringList, lines);
    QFETCH(double, at);
    QFETCH(QString, text);
    Machine machine;
    Interpreter run(machine);
    run.start(programOf(lines), 0);
    run.advance(at);
    QCOMPARE(SimWindow::stateText(run, false, at), text);
}

void TestSimWindow::commandErrors_reportedInEventsStateAndWindow_data()
{
    QTest::addColumn<QByteArray>("failing");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");
    QByteArray tooLong = "DL\r";
    for (int i = 0; i <= Controller::kMaxProgramLines; ++i)
        tooLong += "OUTP 1;\r";
    QTest::newRow("save into a missing folder")
        << QByteArray("SAVE P\r") << "save-failed" << QStringLiteral("無法儲存程式到 %1: ");
    QTest::newRow("download too long") << tooLong + "\r"
                                       << "download-too-long"
                                       << QStringLiteral("程式超過 4000 行, 下載失敗, 保留原來的程式");
}

void TestSimWindow::commandErrors_reportedInEventsStateAndWindow()
{
    QFETCH(QByteArray, failing);
    QFETCH(QString, code);
    QFETCH(QString, text);
    const QString store = m_dir.filePath("gone/program.txt");
    text = text.arg(store);
    Controller controller(m_clock, store);
    LineSession session(controller, m_clock, LineBehaviour());
    ControlChannel control(controller, session);
    SimWindow window(controller, session);
    session.receive(downloadBytes({"{", "}"}));
    control.execute("events");

    session.receive(failing);
    QCOMPARE(control.execute("events"), "events error " + code);
    QVERIFY2(control.execute("state").startsWith(QStringLiteral("state error %1 %2").arg(code, text)),
             qPrintable(control.execute("state")));
    window.refresh();
    QVERIFY(window.stateLabel()->text().startsWith(QStringLiteral("狀態: 錯誤: ") + text));
    QVERIFY(window.stateLabel()->styleSheet().contains("#c00000"));
    QVERIFY(window.log()->toPlainText().contains(text));
    QCOMPARE(controller.program().lines(), (QStringList{"{", "}"}));
    QVERIFY(!QFileInfo::exists(m_dir.filePath("gone"))); // no folder the user did not name

    // Stamped with the moment it failed, not with the last program's clock.
    m_clock.advance(250);
    session.receive(failing);
    QCOMPARE(control.execute("events timed"), QStringLiteral("events %1 error %2").arg(m_clock.nowMs()).arg(code));

    // The next run replaces the report.
    session.receive("G\r");
    m_clock.advance(10);
    QCOMPARE(control.execute("state"), "state idle");
    window.refresh();
    QCOMPARE(window.stateLabel()->text(), QStringLiteral("狀態: 閒置"));
}

QTEST_MAIN(TestSimWindow)
#include "tst_simwindow.moc"

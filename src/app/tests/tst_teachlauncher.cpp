#include "app/teachlauncher.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/speeddialog.h"
#include "editor/steplistview.h"
#include "teach/teachdialog.h"
#include "teach/teachdialogui.h"
#include "testing/mainwindowfixture.h"
#include "testing/stepbuilder.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <memory>

using namespace talvex;
using namespace talvex::testing;

class TestTeachLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void pointButton_opensOnceThenBringsForward();
    void confirm_appendShowsUnfilteredTextsUntilRelisted();
    void rowClickedWhileOpen_insertGoesToThatRow();
    void closeBox_discardsAndMainWindowStaysUsable();
    void mainWindowButtons_locateAndOrigin_data();
    void mainWindowButtons_locateAndOrigin();
    void accessibility_changingTextsAreRead_data();
    void accessibility_changingTextsAreRead();
    void anyBox_holdsStatusTimerAndTeachPoll_data();
    void anyBox_holdsStatusTimerAndTeachPoll();

private:
    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
    void clickRow(int row);

    std::unique_ptr<MainWindowFixture> m_fixture;
    MemorySerialPort *m_port = nullptr;
    ScriptedOperator *m_op = nullptr;
    MainWindow *m_window = nullptr;
    TeachLauncher *m_launcher = nullptr;
};

void TestTeachLauncher::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_port = &m_fixture->port();
    m_op = &m_fixture->op();
    m_window = &m_fixture->window();
    m_launcher = new TeachLauncher(*m_window);
    m_window->show();
    click(m_window->ui().startEditingButton);
    click(m_window->ui().homeButton); // a HOME step
    click(m_window->ui().homeButton);
}

void TestTeachLauncher::cleanup()
{
    delete m_launcher;
    m_fixture.reset();
}

void TestTeachLauncher::clickRow(int row)
{
    StepListView *list = m_window->ui().stepList;
    click(list->viewport());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(row - 1)).center());
}

void TestTeachLauncher::pointButton_opensOnceThenBringsForward()
{
    click(m_window->ui().pointButton);
    TeachDialog *dialog = m_launcher->dialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(m_window->isEnabled());
    QVERIFY(m_window->ui().speedButton->isEnabled()); // the main window stays usable
    dialog->ui().xTarget->setText(QStringLiteral("typed"));
    click(m_window->ui().pointButton);
    QCOMPARE(m_launcher->dialog(), dialog);
    QCOMPARE(dialog->ui().xTarget->text(), QStringLiteral("typed")); // not opened again
}

void TestTeachLauncher::confirm_appendShowsUnfilteredTextsUntilRelisted()
{
    click(m_window->ui().pointButton);
    TeachDialog *dialog = m_launcher->dialog();
    dialog->ui().xTarget->setText(QStringLiteral("12.5mm"));
    dialog->ui().yTarget->setText(QStringLiteral("-40"));
    dialog->ui().inputBoxes[0]->setChecked(true);
    dialog->ui().inputBoxes[2]->setChecked(true);
    click(dialog->ui().confirmButton);
    QTRY_VERIFY(!m_launcher->dialog());

    StepListView *list = m_window->ui().stepList;
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(2)->text(0), QStringLiteral("3"));
    QCOMPARE(list->iconIndexAt(2), 1);
    QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("5"));
    QCOMPARE(list->topLevelItem(2)->text(2), QStringLiteral("12.5mm"));
    QCOMPARE(m_window->document().table().cell(3, 2), QStringLiteral("12.5"));
    QCOMPARE(m_window->document().table().cell(3, 3), QStringLiteral("40"));

    click(m_window->ui().homeButton); // the next step re-lists the table
    QCOMPARE(list->topLevelItem(2)->text(2), QStringLiteral("12.5"));
}

void TestTeachLauncher::rowClickedWhileOpen_insertGoesToThatRow()
{
    clickRow(2);
    click(m_window->ui().insertButton); // insert pending
    click(m_window->ui().pointButton);
    TeachDialog *dialog = m_launcher->dialog();
    clickRow(1);
    QCOMPARE(m_window->editState().CurrentRow, 1);
    click(dialog->ui().confirmButton);
    QCOMPARE(m_window->document().table().cell(1, 0), QStringLiteral("POINT"));
    QCOMPARE(m_window->document().lastRow(), 3);
    QCOMPARE(m_window->ui().stepList->iconIndexAt(0), 1);
    QCOMPARE(m_window->ui().stepList->iconIndexAt(2), 11);
}

void TestTeachLauncher::closeBox_discardsAndMainWindowStaysUsable()
{
    click(m_window->ui().pointButton);
    TeachDialog *dialog = m_launcher->dialog();
    dialog->ui().xTarget->setText(QStringLiteral("typed"));
    dialog->close();
    QTRY_VERIFY(!m_launcher->dialog());
    QVERIFY(m_window->isEnabled());
    QCOMPARE(m_window->document().lastRow(), 2);
    QCOMPARE(m_window->values().PointKindFlag, QStringLiteral("1"));
    click(m_window->ui().pointButton); // a fresh dialog
    QVERIFY(m_launcher->dialog());
    // Not the old one shown again (its address may well be reused): the target starts
    // anew.
    QCOMPARE(m_launcher->dialog()->ui().xTarget->text(), QStringLiteral("0"));
}

void TestTeachLauncher::mainWindowButtons_locateAndOrigin_data()
{
    QTest::addColumn<bool>("linkUp");
    QTest::addColumn<QString>("yCell");
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("notices");
    QTest::newRow("link up") << true << "60" << QList<QByteArray>{"XMA 50", "\r", "YMA 60", "\r", "H", "\r"}
                             << QStringList();
    QTest::newRow("link down") << false << "60" << QList<QByteArray>{} << QStringList(3, QStringLiteral(" 連線錯誤 !"));
    // A cell Big5 cannot carry would go out as "?": the locate sends nothing at all.
    QTest::newRow("cell Big5 cannot carry")
        << true << QStringLiteral("6\uFFFD") << QList<QByteArray>{"H", "\r"}
        << QStringList{QStringLiteral("第 2 行的 Y 座標「6\uFFFD」中的「\uFFFD」無法以 Big5 傳送, 請修改後再定位!")};
}

void TestTeachLauncher::mainWindowButtons_locateAndOrigin()
{
    QFETCH(bool, linkUp);
    QFETCH(QString, yCell);
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, notices);
    ProgramTable table = m_window->document().table();
    table.setRow(2, stepOf(QStringLiteral("POINT|0|50|") + yCell + QStringLiteral("|0")));
    m_window->document().replaceProgram(table, m_window->document().lastRow(), {});
    clickRow(2);
    if (linkUp)
        m_port->open();
    // The buttons are enabled by the status tick while the link is up; press them
    // directly here so the closed-port path is reached too.
    m_window->ui().locateButton->setEnabled(true);
    m_window->ui().originButton->setEnabled(true);
    click(m_window->ui().locateButton);
    click(m_window->ui().originButton);
    QCOMPARE(m_port->writes, chunks);
    QCOMPARE(m_op->notices(), notices);
}

void TestTeachLauncher::accessibility_changingTextsAreRead_data()
{
    // A label is read by its text, and says what it is in its description; a line
    // edit keeps its fixed name and is read by its value.
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("fixedName");
    QTest::addColumn<QString>("description");
    QTest::newRow("main window, link status") << "statusLink" << QString() << "連線狀態";
    QTest::newRow("main window, port") << "statusPort" << QString() << "通訊埠";
    QTest::newRow("speed dialog, value") << "speedValue" << QString() << "速度值";
    QTest::newRow("teach dialog, link status") << "teachStatus" << QString() << "連線狀態";
    QTest::newRow("main window, acceleration box") << "accelerationText"
                                                   << "加速度設定值" << QString();
    QTest::newRow("main window, internal acceleration") << "internalAcceleration"
                                                        << "內部加速度" << QString();
    QTest::newRow("teach dialog, X readout") << "xReadout"
                                             << "X軸座標" << QString();
    QTest::newRow("teach dialog, Y readout") << "yReadout"
                                             << "Y軸座標" << QString();
}

void TestTeachLauncher::accessibility_changingTextsAreRead()
{
    QFETCH(QString, where);
    QFETCH(QString, fixedName);
    QFETCH(QString, description);
    const MainWindowUi &ui = m_window->ui();
    if (where == QLatin1String("teachStatus"))
        m_port->open(); // the dialog opens linked, and the change is the link going down
    if (where == QLatin1String("speedValue"))
        click(ui.speedButton);
    else if (where.startsWith(QLatin1String("teach")) || where.endsWith(QLatin1String("Readout")))
        click(ui.pointButton);
    TeachDialog *teach = m_launcher->dialog();
    SpeedDialog *speed = m_window->speedDialog();

    QWidget *widget = nullptr;
    std::function<void()> change;
    if (where == QLatin1String("statusLink")) {
        widget = ui.statusLink;
        change = [&] { m_window->linkView().setLinkStatus(QStringLiteral("連線中")); };
    } else if (where == QLatin1String("statusPort")) {
        widget = ui.statusPort;
        change = [&] { ui.comActions[2]->trigger(); };
    } else if (where == QLatin1String("speedValue")) {
        widget = speed->valueLabel();
        change = [&] { speed->slider()->setValue(250); };
    } else if (where == QLatin1String("teachStatus")) {
        widget = teach->ui().statusLink;
        change = [&] { m_port->close(); };
    } else if (where == QLatin1String("accelerationText")) {
        widget = ui.accelerationText;
        change = [&] { ui.accelerationSlider->setValue(3000); };
    } else if (where == QLatin1String("internalAcceleration")) {
        widget = ui.internalAcceleration;
        change = [&] { m_window->linkView().setAccelerationReadout(QStringLiteral("1500")); };
    } else {
        QLineEdit *readout = where == QLatin1String("xReadout") ? teach->ui().xReadout : teach->ui().yReadout;
        widget = readout;
        change = [readout] { readout->setText(QStringLiteral("?PEX\r1234\r")); };
    }
    QVERIFY(widget);
    auto *label = qobject_cast<QLabel *>(widget);
    auto *edit = qobject_cast<QLineEdit *>(widget);
    QVERIFY(label || edit);
    auto textOf = [&] { return label ? label->text() : edit->text(); };

    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            const QString before = textOf();
            change();
            QTRY_VERIFY(textOf() != before);
        }
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(iface);
        if (fixedName.isEmpty()) {
            QCOMPARE(iface->text(QAccessible::Name), textOf());
            QCOMPARE(iface->text(QAccessible::Description), description);
        } else {
            QCOMPARE(iface->text(QAccessible::Name), fixedName);
            QCOMPARE(iface->text(QAccessible::Value), textOf());
        }
    }
}

void TestTeachLauncher::anyBox_holdsStatusTimerAndTeachPoll_data()
{
    QTest::addColumn<bool>("statusTimerRunning");
    QTest::newRow("both polls running") << true;
    QTest::newRow("status timer stopped") << false;
}

void TestTeachLauncher::anyBox_holdsStatusTimerAndTeachPoll()
{
    QFETCH(bool, statusTimerRunning);
    QVERIFY(m_port->open());
    click(m_window->ui().pointButton);
    QTimer &teachPoll = m_launcher->dialog()->pollTimer();
    QVERIFY(teachPoll.isActive());
    if (!statusTimerRunning)
        m_window->statusTimer().stop();
    QList<bool> heldActive;
    m_op->onShow = [&](const ScriptedOperator::Shown &) {
        heldActive << m_window->statusTimer().isActive() << teachPoll.isActive();
    };
    m_op->answerText(QStringLiteral("500"));
    click(m_window->ui().delayButton);
    QCOMPARE(heldActive, (QList<bool>{false, false}));
    QCOMPARE(m_window->statusTimer().isActive(), statusTimerRunning);
    QVERIFY(teachPoll.isActive());
    QCOMPARE(m_window->document().lastRow(), 3);
}

QTEST_MAIN(TestTeachLauncher)
#include "tst_teachlauncher.moc"

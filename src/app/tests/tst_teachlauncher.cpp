#include "app/teachlauncher.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/steplistview.h"
#include "teach/teachdialog.h"
#include "teach/teachdialogui.h"
#include "testing/memoryserialport.h"
#include "testing/scriptedoperator.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

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

private:
    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
    void clickRow(int row);

    QTemporaryDir *m_dir = nullptr;
    QString m_oldCwd;
    VirtualSleeper m_clock;
    MemorySerialPort *m_port = nullptr;
    ScriptedOperator *m_op = nullptr;
    MainWindow *m_window = nullptr;
    TeachLauncher *m_launcher = nullptr;
};

void TestTeachLauncher::init()
{
    m_oldCwd = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QDir::setCurrent(m_dir->path());
    m_port = new MemorySerialPort(m_clock);
    m_op = new ScriptedOperator;
    m_window = new MainWindow(*m_op, *m_port, m_clock);
    m_launcher = new TeachLauncher(*m_window, *m_op);
    m_window->show();
    click(m_window->ui().startEditingButton);
    click(m_window->ui().homeButton); // a HOME step
    click(m_window->ui().homeButton);
}

void TestTeachLauncher::cleanup()
{
    delete m_launcher;
    delete m_window;
    delete m_port;
    delete m_op;
    QDir::setCurrent(m_oldCwd);
    delete m_dir;
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
    QCOMPARE(m_window->table().cell(3, 2), QStringLiteral("12.5"));
    QCOMPARE(m_window->table().cell(3, 3), QStringLiteral("40"));

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
    QCOMPARE(m_window->table().cell(1, 0), QStringLiteral("POINT"));
    QCOMPARE(m_window->editState().LastRow, 3);
    QCOMPARE(m_window->ui().stepList->iconIndexAt(0), 1);
    QCOMPARE(m_window->ui().stepList->iconIndexAt(2), 11);
}

void TestTeachLauncher::closeBox_discardsAndMainWindowStaysUsable()
{
    click(m_window->ui().pointButton);
    TeachDialog *dialog = m_launcher->dialog();
    dialog->close();
    QTRY_VERIFY(!m_launcher->dialog());
    QVERIFY(m_window->isEnabled());
    QCOMPARE(m_window->editState().LastRow, 2);
    QCOMPARE(m_window->values().PointKindFlag, QStringLiteral("1"));
    click(m_window->ui().pointButton); // a fresh dialog
    QVERIFY(m_launcher->dialog());
    QVERIFY(m_launcher->dialog() != dialog);
}

void TestTeachLauncher::mainWindowButtons_locateAndOrigin_data()
{
    QTest::addColumn<bool>("linkUp");
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<int>("notices");
    QTest::newRow("link up") << true << QList<QByteArray>{"XMA 50", "\r", "YMA 60", "\r", "H", "\r"} << 0;
    QTest::newRow("link down") << false << QList<QByteArray>{} << 3;
}

void TestTeachLauncher::mainWindowButtons_locateAndOrigin()
{
    QFETCH(bool, linkUp);
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(int, notices);
    m_window->table().setRow(2, {QStringLiteral("POINT"), QStringLiteral("0"), QStringLiteral("50"),
                                 QStringLiteral("60"), QStringLiteral("0")});
    m_window->relistSteps();
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
    QCOMPARE(m_op->notices().size(), notices);
    if (notices)
        QCOMPARE(m_op->notices(), QStringList(3, QStringLiteral(" 連線錯誤 !")));
}

QTEST_MAIN(TestTeachLauncher)
#include "tst_teachlauncher.moc"

#include "document/programdocument.h"
#include "link/line.h"
#include "link/stationlink.h"
#include "table/editstate.h"
#include "table/placement.h"
#include "teach/teachdialog.h"
#include "teach/teachdialogui.h"
#include "testing/fakelinkview.h"
#include "testing/memoryserialport.h"
#include "testing/recordingsteplist.h"
#include "testing/scriptedoperator.h"
#include "testing/stepbuilder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>

#include <memory>

using namespace talvex;
using namespace talvex::testing;

using Chunks = QList<QByteArray>;

namespace {

QList<int> checkedOf(const QList<QCheckBox *> &boxes)
{
    QList<int> out;
    for (int i = 0; i < boxes.size(); ++i) {
        if (boxes.at(i)->isChecked())
            out << i + 1;
    }
    return out;
}

} // namespace

class TestTeachDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void open_linkDownForcesNumericInput();
    void open_linkUpSendsModeCommand_data();
    void open_linkUpSendsModeCommand();
    void modeSelection_whileUp_data();
    void modeSelection_whileUp();
    void teachInput_targetsFollowReadouts();
    void numericInput_targetsLeftAlone();
    void poll_linkLostStopsQuietly();
    void locate_data();
    void locate();
    void modify_decodesRowIntoBoxes_data();
    void modify_decodesRowIntoBoxes();
    void showMasks_setBoxesFromStoredMasks_data();
    void showMasks_setBoxesFromStoredMasks();
    void confirm_masksAndFilteredCoordinates_data();
    void confirm_masksAndFilteredCoordinates();
    void confirm_placement_data();
    void confirm_placement();
    void confirm_fullTableKeepsDialogAndRequest();
    void confirm_fullTableAfterPollStopped_pollStaysStopped();
    void cancel_leavesRequestPending();

private:
    TeachDialog *openDialog(bool linkUp);
    QList<QCheckBox *> inputs() const;
    QList<QCheckBox *> outputs() const;

    VirtualSleeper m_clock;
    MemorySerialPort *m_port = nullptr;
    ScriptedOperator *m_op = nullptr;
    FakeLinkView m_view;
    StationLink *m_station = nullptr;
    /// The program the dialog is opened on, and the pending request; the document is
    /// made from them when the dialog opens.
    ProgramTable m_table;
    std::unique_ptr<ProgramDocument> m_document;
    EditState m_edit;
    StationValues m_values;
    RecordingStepList m_list;
    int m_mainEnabled = 0;
    TeachDialog *m_dialog = nullptr;
    QString m_x = QStringLiteral("150.25\r");
    QString m_y = QStringLiteral("-40\r");
};

void TestTeachDialog::init()
{
    m_clock = VirtualSleeper();
    m_port = new MemorySerialPort(m_clock);
    m_op = new ScriptedOperator;
    m_station = new StationLink(*m_port, m_clock, *m_op, m_view);
    m_table = ProgramTable();
    m_table.writeHeader();
    m_table.setRow(1, stepOf("WT|1000|0|0|0"));
    m_table.setRow(2, stepOf("POINT|5|100|200|128"));
    m_table.setRow(3, stepOf("HOME|0|0|0|0"));
    m_edit = EditState();
    m_edit.LastRow = 3;
    m_values = StationValues();
    m_values.PointKindFlag = QStringLiteral("1");
    m_list = RecordingStepList();
    m_mainEnabled = 0;
    m_port->replyDelayMs = 10;
    m_port->responder = [this](const QByteArray &line) -> QByteArray {
        if (line == "?PEX")
            return m_x.toLatin1();
        if (line == "?PEY")
            return m_y.toLatin1();
        return {};
    };
}

void TestTeachDialog::cleanup()
{
    delete m_dialog;
    m_dialog = nullptr;
    delete m_station;
    m_document.reset();
    delete m_op;
    delete m_port;
}

TeachDialog *TestTeachDialog::openDialog(bool linkUp)
{
    if (linkUp && !m_port->isOpen())
        m_port->open();
    m_document = std::make_unique<ProgramDocument>();
    m_document->replaceProgram(m_table, m_edit.LastRow, {});
    bindStepList(*m_document, m_list);
    TeachContext context{m_station->session(),       m_station->polls(), *m_document, m_edit, m_values, m_list, *m_op,
                         [this] { ++m_mainEnabled; }};
    m_dialog = new TeachDialog(context);
    m_dialog->show();
    m_dialog->start();
    return m_dialog;
}

QList<QCheckBox *> TestTeachDialog::inputs() const
{
    return QList<QCheckBox *>(m_dialog->ui().inputBoxes.begin(), m_dialog->ui().inputBoxes.end());
}

QList<QCheckBox *> TestTeachDialog::outputs() const
{
    return QList<QCheckBox *>(m_dialog->ui().outputBoxes.begin(), m_dialog->ui().outputBoxes.end());
}

void TestTeachDialog::open_linkDownForcesNumericInput()
{
    m_values.NumericInput = false;
    TeachDialog *d = openDialog(false);
    const TeachDialogUi &ui = d->ui();
    QCOMPARE(d->windowTitle(), QString(11, QLatin1Char(' ')));
    QCOMPARE(ui.statusLink->text(), QStringLiteral("未連線"));
    QVERIFY(ui.numericOption->isChecked());
    QVERIFY(!ui.teachOption->isEnabled());
    QVERIFY(m_values.NumericInput);
    QCOMPARE(ui.xReadout->text(), QStringLiteral("0"));
    // The readouts: normal text, not editable, passed over by Tab, which walks X, Y,
    // the buttons, then the boxes.
    QList<QWidget *> expected = {ui.xTarget,      ui.yTarget,       ui.locateButton, ui.confirmButton,
                                 ui.cancelButton, ui.numericOption, ui.teachOption};
    expected.append(QList<QWidget *>(ui.inputBoxes.begin(), ui.inputBoxes.end()));
    expected.append(QList<QWidget *>(ui.outputBoxes.begin(), ui.outputBoxes.end()));
    QList<QWidget *> chain;
    for (QWidget *w = ui.xTarget; chain.size() < expected.size(); w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            chain << w;
        QVERIFY(w != ui.xReadout && w != ui.yReadout);
    }
    QCOMPARE(chain, expected);
    for (QLineEdit *readout : {ui.xReadout, ui.yReadout}) {
        QVERIFY(readout->isEnabled() && readout->isReadOnly());
        QCOMPARE(readout->focusPolicy(), Qt::NoFocus);
    }
    // The first row of boxes sits below the frame's caption and line.
    for (QGroupBox *frame : {ui.inputFrame, ui.outputFrame}) {
        if (QLayout *layout = frame->layout())
            layout->activate();
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect label =
            frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
        const QCheckBox *first = frame->findChildren<QCheckBox *>().first();
        QVERIFY2(first->geometry().top() >= label.bottom(), qPrintable(frame->title()));
        QVERIFY(frame->contentsRect().contains(first->geometry()));
        QVERIFY(frame->contentsRect().contains(frame->findChildren<QCheckBox *>().last()->geometry()));
    }
    QCOMPARE(ui.xTarget->text(), QStringLiteral("0"));
    QCOMPARE(ui.yTarget->text(), QStringLiteral("0"));
    QVERIFY(ui.xTarget->isEnabled());
    QVERIFY(!d->pollTimer().isActive());
    QVERIFY(checkedOf(inputs()).isEmpty());
    QVERIFY(m_port->writes.isEmpty());
    QVERIFY(m_op->shown().empty());

    // The mode options do nothing while the link is down.
    ui.teachOption->setEnabled(true);
    QTest::mouseClick(ui.teachOption, Qt::LeftButton);
    QVERIFY(m_port->writes.isEmpty());
    QVERIFY(m_values.NumericInput);
}

void TestTeachDialog::open_linkUpSendsModeCommand_data()
{
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<Chunks>("chunks");
    QTest::addColumn<bool>("targetsEditable");
    QTest::newRow("numeric input") << true << Chunks{"HON", "\r"} << true;
    QTest::newRow("teach input") << false << Chunks{"HOFF", "\r"} << false;
}

void TestTeachDialog::open_linkUpSendsModeCommand()
{
    QFETCH(bool, numeric);
    QFETCH(Chunks, chunks);
    QFETCH(bool, targetsEditable);
    m_values.NumericInput = numeric;
    m_values.TeachX = QStringLiteral("12");
    m_values.TeachY = QStringLiteral("34");
    TeachDialog *d = openDialog(true);
    QCOMPARE(m_port->writes, chunks);
    QCOMPARE(d->ui().statusLink->text(), QStringLiteral("連線中"));
    QVERIFY(d->pollTimer().isActive());
    QCOMPARE(d->pollTimer().interval(), 200);
    QCOMPARE(d->ui().teachOption->isChecked(), !numeric);
    QCOMPARE(d->ui().xTarget->isEnabled(), targetsEditable);
    QCOMPARE(d->ui().xTarget->text(), QStringLiteral("12"));
    QCOMPARE(d->ui().yTarget->text(), QStringLiteral("34"));
}

void TestTeachDialog::modeSelection_whileUp_data()
{
    QTest::addColumn<bool>("startNumeric");
    QTest::addColumn<Chunks>("chunks");
    QTest::addColumn<bool>("numericAfter");
    QTest::newRow("to teach input") << true << Chunks{"HOFF", "\r"} << false;
    QTest::newRow("to numeric input") << false << Chunks{"HON", "\r"} << true;
}

void TestTeachDialog::modeSelection_whileUp()
{
    QFETCH(bool, startNumeric);
    QFETCH(Chunks, chunks);
    QFETCH(bool, numericAfter);
    m_values.NumericInput = startNumeric;
    TeachDialog *d = openDialog(true);
    m_port->clearWrites();
    QTest::mouseClick(startNumeric ? d->ui().teachOption : d->ui().numericOption, Qt::LeftButton);
    QCOMPARE(m_port->writes, chunks);
    QCOMPARE(m_values.NumericInput, numericAfter);
    QCOMPARE(d->ui().yTarget->isEnabled(), numericAfter);
}

void TestTeachDialog::teachInput_targetsFollowReadouts()
{
    m_values.NumericInput = false;
    TeachDialog *d = openDialog(true);
    m_port->clearWrites();
    QTRY_COMPARE(d->ui().xTarget->text(), m_x);
    QCOMPARE(d->ui().xReadout->text(), m_x);
    QCOMPARE(d->ui().yReadout->text(), m_y);
    QCOMPARE(d->ui().yTarget->text(), m_y);
    QCOMPARE(m_port->writes.mid(0, 4), (Chunks{"?PEX", "\r", "?PEY", "\r"}));

    // A tick whose replies do not arrive in time empties readouts and targets alike.
    m_port->replyDelayMs = 80;
    QTRY_COMPARE(d->ui().xTarget->text(), QString());
    QCOMPARE(d->ui().xReadout->text(), QString());
}

void TestTeachDialog::numericInput_targetsLeftAlone()
{
    m_values.TeachX = QStringLiteral("7");
    TeachDialog *d = openDialog(true);
    QTRY_COMPARE(d->ui().xReadout->text(), m_x);
    QCOMPARE(d->ui().xTarget->text(), QStringLiteral("7"));
}

void TestTeachDialog::poll_linkLostStopsQuietly()
{
    TeachDialog *d = openDialog(true);
    QTRY_COMPARE(d->ui().xReadout->text(), m_x);
    m_port->close();
    QTRY_VERIFY(!d->pollTimer().isActive());
    QCOMPARE(d->ui().statusLink->text(), QStringLiteral("未連線"));
    QCOMPARE(d->ui().xReadout->text(), m_x); // the last readings stay
    QVERIFY(m_op->shown().empty());
}

void TestTeachDialog::locate_data()
{
    QTest::addColumn<bool>("linkUp");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<Chunks>("chunks");
    QTest::addColumn<QString>("notice");
    QTest::newRow("numeric input") << true << true << "12.5"
                                   << "30" << Chunks{"XMA 12.5", "\r", "YMA 30", "\r"} << QString();
    QTest::newRow("letters go as typed") << true << true << "abc"
                                         << "30" << Chunks{"XMA abc", "\r", "YMA 30", "\r"} << QString();
    QTest::newRow("teach input sends nothing") << true << false << "12.5"
                                               << "30" << Chunks{} << QString();
    QTest::newRow("link down: one notice") << false << true << "12.5"
                                           << "30" << Chunks{} << " 連線錯誤 !";
    QTest::newRow("X that Big5 cannot hold")
        << true << true << "12😀"
        << "30" << Chunks{} << "X軸距離「12😀」中的「😀」無法以 Big5 傳送, 請修改後再定位!";
    QTest::newRow("Y that Big5 cannot hold")
        << true << true << "12.5"
        << "标3" << Chunks{} << "Y軸距離「标3」中的「标」無法以 Big5 傳送, 請修改後再定位!";
}

void TestTeachDialog::locate()
{
    QFETCH(bool, linkUp);
    QFETCH(bool, numeric);
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(Chunks, chunks);
    QFETCH(QString, notice);
    m_values.NumericInput = numeric;
    TeachDialog *d = openDialog(linkUp);
    d->pollTimer().stop();
    d->ui().xTarget->setText(x);
    d->ui().yTarget->setText(y);
    m_port->clearWrites();
    QTest::mouseClick(d->ui().locateButton, Qt::LeftButton);
    QCOMPARE(m_port->writes, chunks);
    QCOMPARE(m_op->notices(), notice.isEmpty() ? QStringList() : QStringList{notice});
}

void TestTeachDialog::modify_decodesRowIntoBoxes_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("x");
    QTest::addColumn<QList<int>>("inputs");
    QTest::addColumn<QList<int>>("outputs");
    QTest::newRow("point 5/100/200/128") << 2 << "100" << QList<int>{1, 3} << QList<int>{8};
    QTest::newRow("delay row: datum is no mask") << 1 << "0" << QList<int>{4, 6, 7, 8, 9, 10} << QList<int>{};
    QTest::newRow("label name reads as 0") << 4 << "0" << QList<int>{} << QList<int>{};
}

void TestTeachDialog::modify_decodesRowIntoBoxes()
{
    QFETCH(int, row);
    QFETCH(QString, x);
    QFETCH(QList<int>, inputs);
    QFETCH(QList<int>, outputs);
    m_table.setRow(4, stepOf("LABLE|起點|0|0|0"));
    m_edit.LastRow = 4;
    m_edit.ModifyMode = true;
    m_edit.CurrentRow = row;
    TeachDialog *d = openDialog(false);
    QCOMPARE(d->ui().xTarget->text(), x);
    QCOMPARE(checkedOf(this->inputs()), inputs);
    QCOMPARE(checkedOf(this->outputs()), outputs);
}

void TestTeachDialog::showMasks_setBoxesFromStoredMasks_data()
{
    QTest::addColumn<long long>("inMask");
    QTest::addColumn<long long>("outMask");
    QTest::addColumn<QList<int>>("inputs");
    QTest::addColumn<QList<int>>("outputs");
    const QList<int> all16 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const QList<int> all8 = {1, 2, 3, 4, 5, 6, 7, 8};
    QTest::newRow("5 and 16") << 5LL << 16LL << QList<int>{1, 3} << QList<int>{5};
    QTest::newRow("32768 and 129") << 32768LL << 129LL << QList<int>{16} << QList<int>{1, 8};
    QTest::newRow("65535 and 255") << 65535LL << 255LL << all16 << all8;
    QTest::newRow("above range") << 70000LL << 300LL << all16 << all8;
    QTest::newRow("zero leaves boxes") << 0LL << 0LL << QList<int>{2} << QList<int>{3};
    QTest::newRow("negative leaves boxes") << -5LL << -1LL << QList<int>{2} << QList<int>{3};
}

void TestTeachDialog::showMasks_setBoxesFromStoredMasks()
{
    QFETCH(long long, inMask);
    QFETCH(long long, outMask);
    QFETCH(QList<int>, inputs);
    QFETCH(QList<int>, outputs);
    TeachDialog *d = openDialog(false);
    d->ui().inputBoxes[1]->setChecked(true);
    d->ui().outputBoxes[2]->setChecked(true);
    d->showInputMask(inMask);
    d->showOutputMask(outMask);
    QCOMPARE(checkedOf(this->inputs()), inputs);
    QCOMPARE(checkedOf(this->outputs()), outputs);
}

void TestTeachDialog::confirm_masksAndFilteredCoordinates_data()
{
    QTest::addColumn<QList<int>>("inputs");
    QTest::addColumn<QList<int>>("outputs");
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("storedX");
    QTest::newRow("no boxes") << QList<int>{} << QList<int>{} << "12.5mm"
                              << "0"
                              << "0"
                              << "12.5";
    QTest::newRow("inputs 1 and 3") << QList<int>{1, 3} << QList<int>{8} << "-40"
                                    << "5"
                                    << "128"
                                    << "40";
    QTest::newRow("input 16") << QList<int>{16} << QList<int>{1, 2, 3, 4, 5, 6, 7, 8} << ""
                              << "32768"
                              << "255"
                              << "";
    QTest::newRow("all inputs") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16} << QList<int>{}
                                << "1.2.3"
                                << "65535"
                                << "0"
                                << "1.2.3";
    QTest::newRow("echoed reply") << QList<int>{} << QList<int>{} << "?PEX\r1234\r"
                                  << "0"
                                  << "0"
                                  << "1234";
}

void TestTeachDialog::confirm_masksAndFilteredCoordinates()
{
    QFETCH(QList<int>, inputs);
    QFETCH(QList<int>, outputs);
    QFETCH(QString, x);
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(QString, storedX);
    m_edit.AppendMode = true;
    TeachDialog *d = openDialog(false);
    for (int k : inputs)
        d->ui().inputBoxes[size_t(k) - 1]->setChecked(true);
    for (int n : outputs)
        d->ui().outputBoxes[size_t(n) - 1]->setChecked(true);
    d->ui().xTarget->setText(x);
    QTest::mouseClick(d->ui().confirmButton, Qt::LeftButton);
    const Step row = m_document->table().row(4);
    QCOMPARE(row[0], QStringLiteral("POINT"));
    QCOMPARE(row[1], in);
    QCOMPARE(row[2], storedX);
    QCOMPARE(row[4], out);
    QCOMPARE(m_values.TeachX, x); // kept unfiltered
    QCOMPARE(m_list.items.last().subItems, (QStringList{in, x, QStringLiteral("0"), out}));
}

void TestTeachDialog::confirm_placement_data()
{
    QTest::addColumn<bool>("append");
    QTest::addColumn<bool>("insert");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<int>("rebuilds");
    QTest::addColumn<int>("enables");
    QTest::addColumn<bool>("modifyLeft");
    QTest::newRow("append") << true << false << false << 2 << QStringList{"WT", "POINT", "HOME", "POINT"} << 0 << 1
                            << false;
    QTest::newRow("insert at row 2") << false << true << false << 2 << QStringList{"WT", "POINT", "POINT", "HOME"} << 1
                                     << 2 << false;
    QTest::newRow("modify row 1") << false << false << true << 1 << QStringList{"POINT", "POINT", "HOME"} << 1 << 1
                                  << false;
    QTest::newRow("insert and modify: insert only")
        << false << true << true << 3 << QStringList{"WT", "POINT", "POINT", "HOME"} << 1 << 2 << true;
    QTest::newRow("nothing pending") << false << false << false << 2 << QStringList{"WT", "POINT", "HOME"} << 0 << 1
                                     << false;
}

void TestTeachDialog::confirm_placement()
{
    QFETCH(bool, append);
    QFETCH(bool, insert);
    QFETCH(bool, modify);
    QFETCH(int, currentRow);
    QFETCH(QStringList, kinds);
    QFETCH(int, rebuilds);
    QFETCH(int, enables);
    QFETCH(bool, modifyLeft);
    m_edit.AppendMode = append;
    m_edit.InsertMode = insert;
    m_edit.CurrentRow = 1;
    TeachDialog *d = openDialog(true);
    d->ui().xTarget->setText(QStringLiteral("321"));
    // The main window stays usable: a row clicked meanwhile is the row that counts.
    m_edit.CurrentRow = currentRow;
    m_edit.ModifyMode = modify;
    m_port->clearWrites();
    QTest::mouseClick(d->ui().confirmButton, Qt::LeftButton);

    QStringList got;
    for (int r = 1; r <= m_document->lastRow(); ++r)
        got << m_document->table().cell(r, 0);
    QCOMPARE(got, kinds);
    QCOMPARE(m_list.rebuilds, rebuilds);
    QCOMPARE(m_mainEnabled, enables);
    QCOMPARE(m_edit.ModifyMode, modifyLeft);
    QVERIFY(!m_edit.AppendMode && !m_edit.InsertMode);
    const bool placed = append || insert || modify;
    QCOMPARE(m_values.PointKindFlag, placed ? QStringLiteral("0") : QStringLiteral("1"));
    QCOMPARE(m_values.TeachX, placed ? QStringLiteral("321") : QStringLiteral("0"));
    QCOMPARE(m_port->writes, (Chunks{"HON", "\r"}));
    QVERIFY(!d->isVisible());
    QVERIFY(!d->pollTimer().isActive());
    if (append) {
        QCOMPARE(m_edit.CurrentRow, 4);
        QCOMPARE(m_list.items.size(), 1);
        QCOMPARE(m_list.items[0].text, QStringLiteral("4"));
        QCOMPARE(m_list.items[0].icon, 1);
    }
}

void TestTeachDialog::confirm_fullTableKeepsDialogAndRequest()
{
    for (int r = 1; r <= 500; ++r)
        m_table.setRow(r, stepOf("WT|1|0|0|0"));
    m_edit.LastRow = 500;
    m_edit.AppendMode = true;
    TeachDialog *d = openDialog(true);
    m_port->clearWrites();
    QTest::mouseClick(d->ui().confirmButton, Qt::LeftButton);
    QCOMPARE(m_op->notices(), QStringList{programFullMessage()});
    QCOMPARE(m_op->shown()[0].title, QStringLiteral("訊息"));
    QVERIFY(d->isVisible());
    QVERIFY(d->pollTimer().isActive());
    QCOMPARE(m_document->lastRow(), 500);
    QVERIFY(m_edit.AppendMode);
    QCOMPARE(m_values.PointKindFlag, QStringLiteral("1"));
    QVERIFY(m_list.items.isEmpty());
    QVERIFY(m_port->writes.isEmpty());

    QTest::mouseClick(d->ui().cancelButton, Qt::LeftButton);
    QVERIFY(!d->isVisible());
}

void TestTeachDialog::confirm_fullTableAfterPollStopped_pollStaysStopped()
{
    m_edit.LastRow = 500;
    m_edit.AppendMode = true;
    TeachDialog *d = openDialog(true);
    m_port->close();
    QTRY_VERIFY(!d->pollTimer().isActive());
    QVERIFY(m_port->open()); // connected again from the main window
    QTest::mouseClick(d->ui().confirmButton, Qt::LeftButton);
    QCOMPARE(m_op->notices(), QStringList{programFullMessage()});
    QVERIFY(d->isVisible());
    QVERIFY(!d->pollTimer().isActive());
    QCOMPARE(d->ui().statusLink->text(), QStringLiteral("未連線"));
}

void TestTeachDialog::cancel_leavesRequestPending()
{
    m_edit.AppendMode = true;
    TeachDialog *d = openDialog(true);
    d->ui().xTarget->setText(QStringLiteral("99"));
    m_port->clearWrites();
    QTest::mouseClick(d->ui().cancelButton, Qt::LeftButton);
    QCOMPARE(m_port->writes, (Chunks{"HON", "\r"}));
    QVERIFY(m_edit.AppendMode);
    QCOMPARE(m_values.PointKindFlag, QStringLiteral("1"));
    QCOMPARE(m_values.TeachX, QStringLiteral("0"));
    QCOMPARE(m_document->lastRow(), 3);
    QCOMPARE(m_mainEnabled, 1);
    QVERIFY(!d->isVisible());

    // The close box discards without a word to the controller.
    TeachDialog *again = openDialog(true);
    m_port->clearWrites();
    again->close();
    QVERIFY(m_port->writes.isEmpty());
    QVERIFY(!again->pollTimer().isActive());
    QCOMPARE(m_mainEnabled, 1);
}

QTEST_MAIN(TestTeachDialog)
#include "tst_teachdialog.moc"

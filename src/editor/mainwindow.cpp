#include "editor/mainwindow.h"

#include "core/operator.h"
#include "core/textnumber.h"
#include "editor/mainwindowui.h"
#include "editor/speeddialog.h"
#include "editor/steplistview.h"
#include "editor/tablehistory.h"
#include "files/settingsfile.h"
#include "table/changedescription.h"
#include "table/placement.h"
#include "table/stepkind.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <utility>

namespace talvex {

namespace {

constexpr int kStatusTimerMs = 500;

Step datumStep(StepKind kind, const QString &datum)
{
    const QString zero = QStringLiteral("0");
    return {kindLiteral(kind), datum, zero, zero, zero};
}

} // namespace

MainWindow::MainWindow(Operator &op, SerialPort &port, Sleeper &sleeper, QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<MainWindowUi>()), m_linkView(*m_ui, m_timer),
      m_link(std::make_unique<StationLink>(port, sleeper, op, m_linkView)), m_op(m_link->link().op()),
      m_history(std::make_unique<TableHistory>(m_table, m_edit, m_values))
{
    m_ui->setupUi(this);
    m_files = std::make_unique<ProgramFileActions>(m_table, m_edit, *m_ui->stepList, m_op);
    m_files->pauseStatusPoll = [this] {
        if (!portOpen())
            return false;
        m_timer.stop();
        return true;
    };
    m_files->resumeStatusPoll = [this] { m_timer.start(); };
    m_files->saved = [this] { m_history->markSaved(); };
    m_timer.setInterval(kStatusTimerMs);
    m_link->link().polls().addTimer(m_timer);
    initConnections();
    startUp();
    m_timer.start();
}

MainWindow::~MainWindow()
{
    // The dialogs are top-level windows of their own (a disabled main window must not
    // disable them), so they are not deleted with this window's children.
    delete m_speedDialog;
}

void MainWindow::initConnections()
{
    const MainWindowUi &ui = *m_ui;
    connect(ui.startEditingButton, &QPushButton::clicked, this, &MainWindow::onStartEditing);
    connect(ui.stepList, &StepListView::rowChosen, this, &MainWindow::onRowChosen);
    connect(ui.accelerationSlider, &QSlider::valueChanged, this,
            [this](int value) { m_ui->accelerationText->setText(QString::number(value)); });
    connect(ui.speedButton, &QPushButton::clicked, this, &MainWindow::onSpeed);
    connect(ui.pointButton, &QPushButton::clicked, this, &MainWindow::onPoint);
    connect(ui.insertButton, &QPushButton::clicked, this, &MainWindow::onInsert);
    connect(ui.deleteButton, &QPushButton::clicked, this, &MainWindow::onDelete);
    connect(ui.modifyButton, &QPushButton::clicked, this, &MainWindow::onModify);
    // The steps with one datum: a prompt for it, or none (the datum is then "0").
    const struct
    {
        QPushButton *button;
        StepKind kind;
        const char *message;
        const char *title;
    } datumSteps[] = {
        {ui.delayButton, StepKind::Wait, "請輸入延遲時間{1000為1秒}", "延遲時間"},
        {ui.homeButton, StepKind::Home, "", ""},
        {ui.loopButton, StepKind::Loop, "請輸入迴圈次數:", "迴圈"},
        {ui.loopEndButton, StepKind::LoopEnd, "", ""},
        {ui.labelButton, StepKind::Label, "請輸入標籤名稱:", "標籤"},
        {ui.jumpButton, StepKind::JumpToLabel, "請輸入跳至標籤名稱:", "跳至標籤"},
    };
    for (const auto &step : datumSteps) {
        connect(step.button, &QPushButton::clicked, this,
                [this, kind = step.kind, message = QString::fromUtf8(step.message),
                 title = QString::fromUtf8(step.title)] { onDatumStep(kind, message, title); });
    }
    for (int n = 1; n <= 4; ++n)
        connect(ui.comActions[static_cast<size_t>(n) - 1], &QAction::triggered, this, [this, n] { onPortChosen(n); });
    connect(ui.exitAction, &QAction::triggered, this, &MainWindow::onExit);
    connect(ui.connectButton, &QPushButton::clicked, this, &MainWindow::onConnect);
    connect(ui.locateButton, &QPushButton::clicked, this, &MainWindow::onLocate);
    connect(ui.originButton, &QPushButton::clicked, this, &MainWindow::onOrigin);
    connect(ui.uploadButton, &QPushButton::clicked, this, &MainWindow::onUpload);
    for (QCheckBox *box : ui.inputBoxes)
        connect(box, &QCheckBox::clicked, this, [this] { inputBoxClicked(m_link->link(), m_linkView); });
    connect(ui.newAction, &QAction::triggered, this, &MainWindow::onNewProgram);
    connect(ui.openAction, &QAction::triggered, this, &MainWindow::onOpenProgram);
    connect(ui.saveAsAction, &QAction::triggered, this, &MainWindow::onSaveProgramAs);
    connect(&m_timer, &QTimer::timeout, this, &MainWindow::onStatusTick);
    m_history->bindActions(ui.undoAction, ui.redoAction);
    connect(m_history.get(), &TableHistory::restored, this, [this] {
        relistSteps();
        DisableRowButtons(); // a row operation needs a fresh row click
    });
    connect(m_history.get(), &TableHistory::changed, this, &MainWindow::tableChanged);
}

void MainWindow::startUp()
{
    DisableStepButtons();
    DisableRowButtons();
    m_ui->stepList->clearItems();
    m_portNumber = ReadPortSetting(&m_settingsReadFailure);
    m_edit.CurrentRow = 0;
    m_edit.LastRow = 0;
    m_linkView.setMotionButtonsEnabled(false);
    m_edit.Dirty = false;
    m_edit.InsertMode = false;
    m_edit.AppendMode = false;
    m_edit.ModifyMode = false;
    m_link->outputLatch() = OutputLatch{};
    m_values.NumericInput = true;
    m_values.PointKindFlag = QStringLiteral("0");
    m_values.TeachX = QStringLiteral("0");
    m_values.TeachY = QStringLiteral("0");
    m_table.writeHeader();
    m_values.SpeedValue = QStringLiteral("100");
    m_values.ComPort = m_portNumber;
    m_ui->accelerationSlider->setValue(2000);
    m_ui->accelerationText->setText(QString::number(m_ui->accelerationSlider->value()));
    m_linkView.setLinkStatus(QStringLiteral("未連線"));
    m_ui->statusPort->setText(QStringLiteral("COM") + m_values.ComPort);
    m_ui->internalAcceleration->setText(QStringLiteral("0"));
    m_ui->internalAcceleration->setEnabled(false);
    // The empty program the station starts with holds no work to lose.
    m_history->markSaved();
}

void MainWindow::EnableStepButtons()
{
    for (QPushButton *b : m_ui->stepButtons())
        b->setEnabled(true);
    m_ui->startEditingButton->setEnabled(false);
}

void MainWindow::DisableStepButtons()
{
    m_ui->startEditingButton->setEnabled(true);
    for (QPushButton *b : m_ui->stepButtons())
        b->setEnabled(false);
}

void MainWindow::EnableRowButtons()
{
    for (QPushButton *b : m_ui->rowButtons())
        b->setEnabled(true);
}

void MainWindow::DisableRowButtons()
{
    for (QPushButton *b : m_ui->rowButtons())
        b->setEnabled(false);
}

void MainWindow::relistSteps()
{
    talvex::relistSteps(m_table, m_edit, *m_ui->stepList);
}

void MainWindow::placeStep(const Step &step)
{
    const EditState before = m_edit;
    if (PlaceStep(m_table, m_edit, step, *m_ui->stepList, m_op))
        recordTableChange(placementDescription(before, m_edit, step));
}

void MainWindow::recordTableChange(const QString &description)
{
    // Most edits come after a button that set Dirty already, but an undo back to the
    // saved program clears it while the step buttons stay enabled: the next step is
    // unsaved work all the same, which a quit or New must ask about.
    m_edit.Dirty = true;
    m_history->record(description);
}

CompileOptions MainWindow::compileOptions() const
{
    CompileOptions options;
    // Only the ticked state counts; a greyed box is not ticked.
    options.Repeat = m_ui->repeatBox->checkState() == Qt::Checked;
    options.SetAcceleration = m_ui->setAccelerationBox->checkState() == Qt::Checked;
    options.AccelerationText = m_ui->accelerationText->text();
    return options;
}

void MainWindow::onStartEditing()
{
    m_edit.Dirty = true;
    EnableStepButtons();
    DisableRowButtons();
}

void MainWindow::chooseRow(int row)
{
    if (row < 1 || row > m_edit.LastRow)
        return;
    m_ui->stepList->selectRow(row);
    onRowChosen(QString::number(row));
}

void MainWindow::onRowChosen(const QString &itemText)
{
    m_edit.CurrentRow = wholeNumberOf(itemText);
    EnableRowButtons();
    Q_EMIT rowChosen(m_edit.CurrentRow);
}

void MainWindow::onSpeed()
{
    ArmAppend(m_edit);
    m_timer.stop();
    if (!m_speedDialog) {
        m_speedDialog = new SpeedDialog(m_values.SpeedValue);
        connect(m_speedDialog, &SpeedDialog::confirmed, this, &MainWindow::onSpeedConfirmed);
        // Closing the dialog any other way places nothing but must give the main
        // window back, or the operator would be locked out.
        connect(m_speedDialog, &SpeedDialog::cancelled, this, [this] { setEnabled(true); });
        connect(m_speedDialog, &QDialog::finished, m_speedDialog, &QObject::deleteLater);
    }
    m_speedDialog->show();
    m_speedDialog->raise();
    m_speedDialog->activateWindow();
    setEnabled(false);
    m_timer.start();
}

void MainWindow::onSpeedConfirmed(int speed)
{
    // The speed is kept only when a step is actually placed: a point confirmed in the
    // meantime may have used up the armed append.
    if (m_edit.AppendMode || m_edit.InsertMode || m_edit.ModifyMode) {
        m_values.SpeedValue = QString::number(speed);
        placeStep(datumStep(StepKind::Speed, m_values.SpeedValue));
    }
    setEnabled(true);
}

void MainWindow::onPoint()
{
    m_edit.Dirty = true;
    m_values.PointKindFlag = QStringLiteral("1");
    ArmAppend(m_edit);
    m_timer.stop();
    Q_EMIT pointRequested();
    m_timer.start();
}

void MainWindow::onDatumStep(StepKind kind, const QString &message, const QString &title)
{
    ArmAppend(m_edit);
    QString datum = QStringLiteral("0");
    if (!message.isEmpty()) {
        // The delay prompt offers the last delay, so repeated delays need only an OK.
        const bool delay = kind == StepKind::Wait;
        datum = m_op.prompt(message, title, delay ? m_values.DelayValue : QString());
        if (datum.isEmpty())
            return;
        if (delay)
            m_values.DelayValue = datum;
    }
    placeStep(datumStep(kind, datum));
}

void MainWindow::onInsert()
{
    if (!isStepRow(m_edit))
        return;
    m_edit.Dirty = true;
    DisableRowButtons();
    EnableStepButtons();
    m_edit.AppendMode = false;
    m_edit.InsertMode = true;
}

void MainWindow::onDelete()
{
    if (!isStepRow(m_edit))
        return;
    m_edit.Dirty = true;
    const int row = m_edit.CurrentRow;
    deleteRow(m_table, m_edit);
    relistSteps();
    DisableRowButtons();
    recordTableChange(deleteDescription(row));
}

void MainWindow::onModify()
{
    if (!isStepRow(m_edit))
        return;
    m_edit.Dirty = true;
    m_edit.AppendMode = false;
    m_edit.ModifyMode = true;
    DisableRowButtons();
}

void MainWindow::onPortChosen(int n)
{
    m_values.ComPort = QString::number(n);
    showAndStorePort();
}

void MainWindow::showAndStorePort()
{
    m_ui->statusPort->setText(QStringLiteral("COM") + m_values.ComPort);
    QString reason;
    if (!WritePortSetting(m_values.ComPort, &reason)) {
        m_op.notice(QStringLiteral("無法寫入設定檔 ") + settingsFilePath() + QStringLiteral(" !\n") + reason,
                    messageTitle(), Operator::Icon::Warning);
    }
}

bool MainWindow::portOpen() const
{
    return m_link->link().isOpen();
}

void MainWindow::onStatusTick()
{
    m_link->tick();
}

void MainWindow::onConnect()
{
    m_link->Connect(m_values.ComPort);
}

void MainWindow::onLocate()
{
    m_link->locateRow(m_table, m_edit.CurrentRow);
}

void MainWindow::onOrigin()
{
    m_link->link().sendCommand(QStringLiteral("H"));
}

void MainWindow::onUpload()
{
    m_link->upload(m_table, m_edit.LastRow, compileOptions(), m_program, m_values.ComPort);
}

void MainWindow::onExit()
{
    if (!mayQuit())
        return;
    m_link->exit();
    m_quitAsked = true;
    close();
}

bool MainWindow::mayQuit()
{
    return m_history->mayQuit(m_op, [this] { return m_files->SaveProgramAs(); });
}

void MainWindow::onNewProgram()
{
    // Row buttons left enabled would act on a row that no longer exists.
    if (m_files->NewProgram()) {
        DisableRowButtons();
        m_history->record(newProgramDescription());
    }
}

void MainWindow::onOpenProgram()
{
    if (m_files->OpenProgram()) {
        DisableRowButtons();
        m_history->record(openProgramDescription());
        m_history->markSaved();
    }
}

void MainWindow::onSaveProgramAs()
{
    m_files->SaveProgramAs();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Told once, over the window: a box before it would stand alone, unexplained.
    if (!m_settingsReadFailure.isEmpty()) {
        QTimer::singleShot(0, this, [this, failure = std::exchange(m_settingsReadFailure, QString())] {
            m_op.notice(QStringLiteral("無法讀取設定檔 %1 , 改用 COM1 !\n%2").arg(settingsFilePath(), failure),
                        messageTitle(), Operator::Icon::Warning);
        });
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The close box asks here; "結束(&E)" has asked before it talked to the controller.
    if (!std::exchange(m_quitAsked, false) && !mayQuit()) {
        event->ignore();
        return;
    }
    if (m_speedDialog)
        m_speedDialog->close();
    Q_EMIT closing();
    QMainWindow::closeEvent(event);
}

} // namespace talvex

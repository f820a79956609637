#include "editor/mainwindow.h"

#include "core/operator.h"
#include "editor/mainwindowui.h"
#include "editor/speeddialog.h"
#include "editor/statusmessagepanel.h"
#include "editor/steplistview.h"
#include "editor/undoactions.h"
#include "files/settingsfile.h"
#include "motion/stepdescriptions.h"
#include "table/changedescription.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QStatusTipEvent>

#include <utility>

namespace talvex {

namespace {

constexpr int kStatusTimerMs = 500;

} // namespace

MainWindow::MainWindow(Operator &op, SerialPort &port, Sleeper &sleeper, QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<MainWindowUi>()), m_linkView(*m_ui, m_timer),
      m_link(std::make_unique<StationLink>(port, sleeper, op, m_linkView))
{
    m_ui->setupUi(this);
    m_steps = std::make_unique<StepEditor>(*m_ui, m_document, m_values, m_link->op(), *this, m_timer);
    m_files = std::make_unique<ProgramFileActions>(m_document, m_steps->pending(), m_link->op());
    m_files->pauseStatusPoll = [this] {
        if (!m_link->line().isOpen())
            return false;
        m_timer.stop();
        return true;
    };
    m_files->resumeStatusPoll = [this] { m_timer.start(); };
    m_files->fileUsed = [this](const QString &path) {
        showProgramFile();
        if (!path.isEmpty())
            Q_EMIT programFileUsed(path);
    };
    setAcceptDrops(true);
    m_upload = std::make_unique<UploadJob>(*m_link);
    m_timer.setInterval(kStatusTimerMs);
    m_link->polls().addTimer(m_timer);
    bindStepList(m_document, *m_ui->stepList, describeStep);
    initConnections();
    startUp();
    m_timer.start();
}

MainWindow::~MainWindow() = default;

void MainWindow::initConnections()
{
    const MainWindowUi &ui = *m_ui;
    connect(m_steps.get(), &StepEditor::pointRequested, this, &MainWindow::pointRequested);
    connect(m_steps.get(), &StepEditor::rowChosen, this, &MainWindow::rowChosen);
    connect(ui.accelerationSlider, &QSlider::valueChanged, this,
            [this](int value) { m_ui->accelerationText->setText(QString::number(value)); });
    for (int n = 1; n <= 4; ++n)
        connect(ui.comActions[static_cast<size_t>(n) - 1], &QAction::triggered, this, [this, n] { onPortChosen(n); });
    connect(ui.exitAction, &QAction::triggered, this, &MainWindow::onExit);
    connect(ui.connectButton, &QPushButton::clicked, this, [this] { m_link->connectController(m_values.ComPort); });
    connect(ui.locateButton, &QPushButton::clicked, this, &MainWindow::onLocate);
    connect(ui.originButton, &QPushButton::clicked, this, [this] { m_link->session().home(); });
    connect(ui.uploadButton, &QPushButton::clicked, this, [this] {
        const UploadOutcome outcome =
            m_upload->run(m_document.table(), m_document.lastRow(), compileOptions(), m_values.ComPort);
        m_ui->setStatusMessage(UploadJob::outcomeMessage(outcome));
    });
    for (QCheckBox *box : ui.inputBoxes)
        connect(box, &QCheckBox::clicked, this, [this] { inputBoxClicked(m_link->line(), m_linkView); });
    connect(ui.newAction, &QAction::triggered, this, &MainWindow::onNewProgram);
    connect(ui.openAction, &QAction::triggered, this, &MainWindow::onOpenProgram);
    connect(ui.saveAction, &QAction::triggered, this, [this] { m_files->saveProgram(); });
    connect(ui.saveAsAction, &QAction::triggered, this, [this] { m_files->saveProgramAs(); });
    connect(&m_document, &ProgramDocument::savedStateChanged, this, &MainWindow::showProgramFile);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_link->tick(); });
    bindUndoActions(m_document.undoStack(), ui.undoAction, ui.redoAction);
}

void MainWindow::startUp()
{
    m_steps->disableStepButtons();
    m_steps->disableRowButtons();
    m_ui->stepList->clearItems();
    QString settingsReadFailure;
    const QString portNumber = readPortSetting(&settingsReadFailure);
    if (!settingsReadFailure.isEmpty())
        noticeWhenShown(
            QStringLiteral("無法讀取設定檔 %1 , 改用 COM1 !\n%2").arg(settingsFilePath(), settingsReadFailure));
    m_linkView.setMotionButtonsEnabled(false);
    m_link->outputLatch() = OutputLatch{};
    m_values = StationValues{};
    m_values.ComPort = portNumber;
    m_ui->accelerationSlider->setValue(2000);
    m_ui->accelerationText->setText(QString::number(m_ui->accelerationSlider->value()));
    m_linkView.setLinkStatus(QStringLiteral("未連線"));
    m_ui->statusPort->setText(QStringLiteral("COM") + m_values.ComPort);
    m_ui->internalAcceleration->setText(QStringLiteral("0"));
    m_ui->internalAcceleration->setEnabled(false);
    showProgramFile();
}

void MainWindow::showProgramFile()
{
    const QString path = m_files->documentFile();
    const QString name = path.isEmpty() ? QStringLiteral("(未命名)") : QFileInfo(path).fileName();
    const QString text = m_document.unsavedWork() ? name + QStringLiteral(" *") : name;
    m_ui->statusFile->setText(text);
    // Read by its text, like the other panels; the full path is its tooltip.
    m_ui->statusFile->setAccessibleName(text);
    m_ui->statusFile->setToolTip(path);
}

bool MainWindow::openProgramFile(const QString &path)
{
    if (!m_files->mayReplaceProgram() || !m_files->openProgramFile(path))
        return false;
    m_steps->forgetChosenRow();
    return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile() &&
        urls.front().toLocalFile().endsWith(QStringLiteral(".tvx"), Qt::CaseInsensitive))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over, so the file manager is not left waiting for a box.
    QTimer::singleShot(0, this, [this, path = urls.front().toLocalFile()] { openProgramFile(path); });
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

void MainWindow::onPortChosen(int n)
{
    m_values.ComPort = QString::number(n);
    showAndStorePort();
}

void MainWindow::showAndStorePort()
{
    m_ui->statusPort->setText(QStringLiteral("COM") + m_values.ComPort);
    QString reason;
    if (!writePortSetting(m_values.ComPort, &reason)) {
        op().notice(QStringLiteral("無法寫入設定檔 ") + settingsFilePath() + QStringLiteral(" !\n") + reason,
                    messageTitle(), Operator::Icon::Warning);
    }
}

void MainWindow::onLocate()
{
    const int row = m_steps->pending().CurrentRow;
    const StepRow step = m_document.table().stepRow(row);
    m_link->locateRow(row, step.x(), step.y());
}

void MainWindow::onExit()
{
    if (!m_files->mayQuit())
        return;
    m_link->exit();
    m_quitAsked = true;
    close();
}

void MainWindow::onNewProgram()
{
    // Row buttons left enabled would act on a row that no longer exists.
    if (m_files->newProgram())
        m_steps->forgetChosenRow();
}

void MainWindow::onOpenProgram()
{
    if (m_files->openProgram())
        m_steps->forgetChosenRow();
}

bool MainWindow::event(QEvent *event)
{
    // Qt would show a status tip as a temporary status-bar message, which hides the
    // link and port panels while it lasts and clears the message panel after it. It
    // goes into the message panel instead, which gives its message back afterwards.
    if (event->type() == QEvent::StatusTip) {
        m_ui->statusMessage->showTip(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Told once, over the window: a box before it would stand alone, unexplained.
    if (!m_startUpNotices.isEmpty()) {
        QTimer::singleShot(0, this, [this, notices = std::exchange(m_startUpNotices, {})] {
            for (const QString &text : notices)
                op().notice(text, messageTitle(), Operator::Icon::Warning);
        });
    }
}

void MainWindow::noticeWhenShown(const QString &text)
{
    m_startUpNotices << text;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The close box asks here; "結束(&E)" has asked before it talked to the controller.
    if (!std::exchange(m_quitAsked, false) && !m_files->mayQuit()) {
        event->ignore();
        return;
    }
    if (SpeedDialog *dialog = m_steps->speedDialog())
        dialog->close();
    Q_EMIT closing();
    QMainWindow::closeEvent(event);
}

} // namespace talvex

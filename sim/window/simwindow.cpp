#include "sim/window/simwindow.h"

#include "sim/engine/controller.h"
#include "sim/engine/linesession.h"
#include "sim/window/inputswitches.h"
#include "sim/window/jogpanel.h"
#include "sim/window/outputlamps.h"
#include "sim/window/planeview.h"
#include "sim/window/trafficlog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include <cmath>

namespace talvex::sim {

namespace {

const QColor kRunningLine(255, 236, 130);
const QColor kFailedLine(255, 170, 170);

QString mm(double value)
{
    return QString::number(value, 'f', 3);
}

} // namespace

SimWindow::SimWindow(Controller &controller, LineSession &session, QWidget *parent)
    : QMainWindow(parent), m_controller(controller), m_session(session)
{

    m_inputs = new InputSwitches(this);
    m_outputs = new OutputLamps(this);
    m_jog = new JogPanel(this);
    auto *side = new QWidget(this);
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(m_inputs);
    sideLayout->addWidget(m_outputs);
    sideLayout->addWidget(m_jog);
    sideLayout->addStretch(1);

    auto *top = new QSplitter(Qt::Horizontal, this);
    top->addWidget(buildPlaneBox());
    top->addWidget(side);
    top->setStretchFactor(0, 1);
    auto *bottom = new QSplitter(Qt::Horizontal, this);
    bottom->addWidget(buildProgramBox());
    bottom->addWidget(buildLogBox());
    bottom->setStretchFactor(1, 1);
    auto *whole = new QSplitter(Qt::Vertical, this);
    whole->addWidget(top);
    whole->addWidget(bottom);
    whole->setStretchFactor(0, 3);
    whole->setStretchFactor(1, 2);
    setCentralWidget(whole);

    // Labels whose text changes are read by that text; the description says what
    // each one is.
    m_statusState = new QLabel(this);
    m_statusState->setAccessibleDescription(QStringLiteral("程式狀態"));
    m_port = new QLabel(this);
    m_port->setAccessibleDescription(QStringLiteral("通訊埠"));
    statusBar()->addWidget(m_port);
    statusBar()->addWidget(m_statusState, 1);
    fitToScreen();

    initConnections();
    showProgram();
    refresh();
    setDevice(QString());
    m_refresh.start(kRefreshMs);
}

void SimWindow::fitToScreen()
{
    // Room for the window's frame and a task bar: on a 1024 x 768 screen the whole
    // window, its status bar too, stays in sight.
    const QSize room = screen()->availableGeometry().size() - kFrameAllowance;
    // The layout keeps the window at least as large as its contents need once shown.
    resize(kPreferredSize.boundedTo(room));
}

void SimWindow::setDevice(const QString &device)
{
    const QString shown = device.isEmpty() ? QStringLiteral("(未開啟)") : device;
    setWindowTitle(QStringLiteral("TALVEX 模擬控制器 - %1").arg(shown));
    m_port->setText(QStringLiteral("通訊埠: %1").arg(shown));
}

QWidget *SimWindow::buildPlaneBox()
{
    auto *box = new QGroupBox(QStringLiteral("XY 平面"), this);
    m_plane = new PlaneView(box);
    m_position = new QLabel(box);
    m_position->setStyleSheet(QStringLiteral("font-weight: bold;"));
    m_position->setAccessibleDescription(QStringLiteral("機頭位置"));
    m_motion = new QLabel(box);
    m_motion->setAccessibleDescription(QStringLiteral("速度與加速度"));
    auto *clear = new QPushButton(QStringLiteral("清除軌跡"), box);
    connect(clear, &QPushButton::clicked, m_plane, &PlaneView::clearPath);
    auto *row = new QHBoxLayout;
    row->addWidget(m_position);
    row->addSpacing(16);
    row->addWidget(m_motion, 1);
    row->addWidget(clear);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_plane, 1);
    layout->addLayout(row);
    return box;
}

QWidget *SimWindow::buildProgramBox()
{
    auto *box = new QGroupBox(QStringLiteral("程式"), this);
    m_state = new QLabel(box);
    m_state->setAccessibleDescription(QStringLiteral("執行狀態"));
    m_state->setWordWrap(true);
    m_program = new QListWidget(box);
    m_program->setSelectionMode(QAbstractItemView::NoSelection);
    m_program->setMinimumWidth(260);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_state);
    layout->addWidget(m_program, 1);
    return box;
}

QWidget *SimWindow::buildLogBox()
{
    auto *box = new QGroupBox(QStringLiteral("通訊記錄"), this);
    m_log = new TrafficLog(box);
    auto *clear = new QPushButton(QStringLiteral("清除記錄"), box);
    connect(clear, &QPushButton::clicked, m_log, &TrafficLog::clear);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_log, 1);
    layout->addWidget(clear, 0, Qt::AlignRight);
    return box;
}

void SimWindow::initConnections()
{
    connect(&m_session, &LineSession::lineReceived, m_log, &TrafficLog::addReceived);
    connect(&m_session, &LineSession::escapeReceived, m_log, &TrafficLog::addEscape);
    connect(&m_session, &LineSession::sent, m_log, &TrafficLog::addSent);
    connect(&m_controller, &Controller::note, m_log, &TrafficLog::addNote);
    connect(&m_controller, &Controller::programChanged, this, &SimWindow::showProgram);
    connect(m_inputs, &InputSwitches::toggled, this, [this](int k, bool on) { m_controller.setInput(k, on); });
    connect(m_jog, &JogPanel::jogRequested, this, &SimWindow::onJog);
    connect(&m_refresh, &QTimer::timeout, this, &SimWindow::refresh);
}

void SimWindow::onJog(char axis, double delta)
{
    switch (m_controller.jog(axis, delta)) {
    case Machine::Jog::Done:
        refresh();
        break;
    case Machine::Jog::HandHeld:
        statusBar()->showMessage(QStringLiteral("軸鎖定中 (HON), 不能用手移動"), 3000);
        break;
    case Machine::Jog::Moving:
        statusBar()->showMessage(QStringLiteral("軸正在移動, 請稍候"), 3000);
        break;
    }
}

void SimWindow::showProgram()
{
    m_program->clear();
    const QStringList &lines = m_controller.program().lines();
    for (int i = 0; i < lines.size(); ++i)
        m_program->addItem(QStringLiteral("%1  %2").arg(i, 4).arg(lines.at(i)));
    m_plane->setPoints(m_controller.program().points());
    m_highlighted = -1;
    refresh();
}

void SimWindow::highlight(int line, bool failed)
{
    if (line == m_highlighted && failed == m_highlightFailed)
        return;
    if (QListWidgetItem *old = m_program->item(m_highlighted))
        old->setBackground(QBrush());
    m_highlighted = -1;
    // The interpreter runs its own copy: a new download while it ran would leave it
    // pointing past the list.
    if (QListWidgetItem *item = m_program->item(line)) {
        item->setBackground(failed ? kFailedLine : kRunningLine);
        m_program->scrollToItem(item, QAbstractItemView::PositionAtCenter);
        m_highlighted = line;
    }
    m_highlightFailed = failed;
}

QString SimWindow::stateText(const Interpreter &run, bool downloading, double nowMs)
{
    switch (run.state()) {
    case Interpreter::State::Idle:
        return downloading ? QStringLiteral("下載中") : QStringLiteral("閒置");
    case Interpreter::State::Failed:
        return QStringLiteral("錯誤: ") + run.error().describe();
    case Interpreter::State::Running:
        break;
    }
    QString text = QStringLiteral("執行中 第 %1 行").arg(run.line());
    switch (run.wait()) {
    case Interpreter::Wait::None:
        break;
    case Interpreter::Wait::Motion:
        text += QStringLiteral(" (等待移動完成)");
        break;
    case Interpreter::Wait::Input:
        text += QStringLiteral(" (等待輸入 %1)").arg(run.waitInput());
        break;
    case Interpreter::Wait::Time:
        text += QStringLiteral(" (等待 %1 秒)").arg(std::max(0.0, run.waitUntil() - nowMs) / 1000.0, 0, 'f', 1);
        break;
    }
    return text;
}

void SimWindow::refresh()
{
    m_controller.advance();
    const Machine &machine = m_controller.machine();
    const double now = m_controller.now();
    const QPointF head(machine.x.position(now), machine.y.position(now));
    m_plane->setHead(head);
    m_position->setText(QStringLiteral("X %1 mm   Y %2 mm").arg(mm(head.x()), mm(head.y())));
    m_motion->setText(QStringLiteral("速度 VM %1 mm/s   加速度 VA %2 mm/s²")
                          .arg(Interpreter::formatNumber(machine.speed), Interpreter::formatNumber(machine.accel)));
    m_inputs->setWord(machine.inputs);
    m_outputs->setWord(machine.outputs);
    m_jog->setHandFree(machine.handFree);

    const Interpreter &run = m_controller.interpreter();
    const bool commandFailed = m_controller.commandFailed();
    const QString state = commandFailed ? QStringLiteral("錯誤: ") + m_controller.commandError().text
                                        : stateText(run, m_controller.downloading(), now);
    m_state->setText(QStringLiteral("狀態: ") + state);
    const bool failed = commandFailed || run.state() == Interpreter::State::Failed;
    const QString colour = failed ? QStringLiteral("color: #c00000;") : QString();
    if (m_state->styleSheet() != colour)
        m_state->setStyleSheet(colour);
    m_statusState->setText(QStringLiteral("程式: ") + state);
    highlight(run.line(), run.state() == Interpreter::State::Failed);
}

} // namespace talvex::sim

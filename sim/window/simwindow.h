#pragma once

#include <QMainWindow>
#include <QTimer>

class QLabel;
class QListWidget;

namespace talvex::sim {

class Controller;
class Interpreter;
class InputSwitches;
class JogPanel;
class LineSession;
class OutputLamps;
class PlaneView;
class TrafficLog;

/// The simulator's window: the XY plane, the input switches and output lamps, the
/// hand-move buttons, the program with its running line, and the line traffic.
/// It reads the controller on a short timer rather than on every change, so a fast
/// program costs the window nothing more than a slow one.
class SimWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 33;
    /// The size the window opens at where the screen has room for it.
    static constexpr QSize kPreferredSize{1000, 760};
    /// What a window frame and a task bar take from the screen, at most.
    static constexpr QSize kFrameAllowance{24, 72};

    SimWindow(Controller &controller, LineSession &session, QWidget *parent = nullptr);

    /// Names the line's device in the title and the status bar.
    void setDevice(const QString &device);

    /// Brings every view up to the controller's present state.
    void refresh();

    /// "執行中 第 12 行 (等待輸入 3)", "閒置", "錯誤: ..." for the state of @p run.
    static QString stateText(const Interpreter &run, bool downloading, double nowMs);

    PlaneView *plane() const { return m_plane; }
    InputSwitches *inputs() const { return m_inputs; }
    OutputLamps *outputs() const { return m_outputs; }
    JogPanel *jog() const { return m_jog; }
    QListWidget *programList() const { return m_program; }
    TrafficLog *log() const { return m_log; }
    QLabel *stateLabel() const { return m_state; }
    /// The program line shown as running (-1: none).
    int highlightedLine() const { return m_highlighted; }

private:
    QWidget *buildPlaneBox();
    QWidget *buildProgramBox();
    QWidget *buildLogBox();
    void initConnections();
    /// Opens at the preferred size, or smaller where the screen is.
    void fitToScreen();
    void showProgram();
    void highlight(int line, bool failed);
    void onJog(char axis, double delta);

    Controller &m_controller;
    LineSession &m_session;
    PlaneView *m_plane = nullptr;
    QLabel *m_position = nullptr;
    QLabel *m_motion = nullptr;
    InputSwitches *m_inputs = nullptr;
    OutputLamps *m_outputs = nullptr;
    JogPanel *m_jog = nullptr;
    QListWidget *m_program = nullptr;
    QLabel *m_state = nullptr;
    TrafficLog *m_log = nullptr;
    QLabel *m_statusState = nullptr;
    QLabel *m_port = nullptr;
    QTimer m_refresh;
    int m_highlighted = -1;
    bool m_highlightFailed = false;
};

} // namespace talvex::sim

#pragma once

#include "compiler/compiler.h"
#include "editor/speeddialog.h"
#include "files/programfileactions.h"
#include "link/linkview.h"
#include "link/stationlink.h"
#include "table/editstate.h"
#include "table/programtable.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace talvex {

class Operator;
class SerialPort;
class Sleeper;
class TableHistory;
struct MainWindowUi;

/// The station's main window. It owns the step table and all editing state and runs
/// the handlers of the step, row, menu and link controls on the UI thread.
class MainWindow : public QMainWindow, public LinkView
{
    Q_OBJECT

public:
    MainWindow(Operator &op, SerialPort &port, Sleeper &sleeper, QWidget *parent = nullptr);
    ~MainWindow() override;

    // State, for the dialogs and for tests.
    ProgramTable &table() { return m_table; }
    EditState &editState() { return m_edit; }
    StationValues &values() { return m_values; }
    const MainWindowUi &ui() const { return *m_ui; }
    QTimer &statusTimer() { return m_timer; }
    SpeedDialog *speedDialog() const { return m_speedDialog; }
    ProgramFileActions &fileActions() { return *m_files; }
    StationLink &stationLink() { return *m_link; }
    CompiledProgram &compiledProgram() { return m_program; }
    /// The compile options as the check boxes and the acceleration box stand.
    CompileOptions compileOptions() const;

    void EnableStepButtons();
    void DisableStepButtons();
    void EnableRowButtons();
    void DisableRowButtons();
    /// Re-lists the table into the step list.
    void relistSteps();

    /// Every change of the table by the operator ends here, once it is made: it becomes
    /// one undo step named @p description, the recovery file (if any) is marked for
    /// writing, and tableChanged() is emitted. Nothing happens when the table did not
    /// change.
    void recordTableChange(const QString &description);
    TableHistory &history() { return *m_history; }

    // LinkView
    void setLinkStatus(const QString &text) override;
    void setMotionButtonsEnabled(bool enabled) override;
    void setStatusTimerRunning(bool running) override;
    bool statusTimerRunning() const override;
    bool outputChecked(int n) const override;
    void setInputChecked(int k, bool checked) override;
    void setAccelerationReadout(const QString &text) override;

Q_SIGNALS:
    /// The Point button armed a point request; the teach dialog answers it.
    void pointRequested();
    /// The window is closing; the dialogs it opened go with it.
    void closing();
    /// The table changed: a change by the operator, an undo or a redo.
    void tableChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void initConnections();
    void startUp();

    void onStartEditing();
    void onRowChosen(const QString &itemText);
    void onSpeed();
    void onSpeedConfirmed(int speed);
    void onPoint();
    void onDelay();
    void onHome();
    void onInsert();
    void onDelete();
    void onModify();
    void onLoop();
    void onLoopEnd();
    void onLabel();
    void onJumpToLabel();
    void onPortChosen(int n);
    void onStatusTick();
    void onConnect();
    void onLocate();
    void onOrigin();
    void onUpload();
    void onExit();
    void onNewProgram();
    void onOpenProgram();
    void onSaveProgramAs();
    /// Asks about unsaved work; false when the operator stays in the station.
    bool mayQuit();

    void showAndStorePort();
    /// Places one step through the common write path and re-lists the table.
    void placeStep(const Step &step);
    /// Asks for a step's datum; the empty text means cancelled.
    QString askDatum(const QString &message, const QString &title, const QString &defaultText = QString());
    bool portOpen() const;

    std::unique_ptr<StationLink> m_link;
    /// The link's operator: every box holds the status poll while it is up.
    Operator &m_op;
    std::unique_ptr<MainWindowUi> m_ui;
    ProgramTable m_table;
    EditState m_edit;
    StationValues m_values;
    QString m_portNumber;
    /// Why the settings file could not be read at start-up; told once the window shows.
    QString m_settingsReadFailure;
    QTimer m_timer;
    QPointer<SpeedDialog> m_speedDialog;
    std::unique_ptr<ProgramFileActions> m_files;
    CompiledProgram m_program;
    std::unique_ptr<TableHistory> m_history;
    /// "結束(&E)" has asked about unsaved work already; the close must not ask again.
    bool m_quitAsked = false;
};

} // namespace talvex

#pragma once

#include "compiler/compiler.h"
#include "editor/speeddialog.h"
#include "editor/windowlinkview.h"
#include "files/programfileactions.h"
#include "link/stationlink.h"
#include "table/editstate.h"
#include "table/programtable.h"
#include "table/stepkind.h"

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
class MainWindow : public QMainWindow
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
    /// The operator every box and file dialog goes through; it holds the polls while
    /// one is up.
    Operator &op() { return m_op; }
    CompiledProgram &compiledProgram() { return m_program; }
    /// The compile options as the check boxes and the acceleration box stand.
    CompileOptions compileOptions() const;

    void EnableStepButtons();
    void DisableStepButtons();
    void EnableRowButtons();
    void DisableRowButtons();
    /// Re-lists the table into the step list.
    void relistSteps();

    /// Every edit of the steps by the operator ends here, once it is made (a step placed,
    /// a row deleted, a point confirmed, a program recovered): Dirty becomes true, and
    /// when the table changed it becomes one undo step named @p description, the
    /// recovery file (if any) is marked for writing, and tableChanged() is emitted.
    /// New and Open go to the history directly: they set Dirty themselves.
    void recordTableChange(const QString &description);
    TableHistory &history() { return *m_history; }

    /// The link's view of the window (status panel, motion buttons, timer, I/O boxes).
    LinkView &linkView() { return m_linkView; }

    /// Chooses step @p row as a click on its list row does (CurrentRow, the row
    /// buttons), and selects it in the list. Rows that are no step are ignored.
    void chooseRow(int row);

Q_SIGNALS:
    /// The Point button armed a point request; the teach dialog answers it.
    void pointRequested();
    /// The window is closing; the dialogs it opened go with it.
    void closing();
    /// The table changed: a change by the operator, an undo or a redo.
    void tableChanged();
    /// The operator chose step @p row (a click or a keyboard move in the list).
    void rowChosen(int row);

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
    /// Delay, home, loop, loop end, label and jump: a step whose one datum is asked
    /// in a prompt titled @p title, or is "0" when @p message is empty. A cancelled or
    /// empty answer places nothing (the armed append stays).
    void onDatumStep(StepKind kind, const QString &message, const QString &title);
    void onInsert();
    void onDelete();
    void onModify();
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
    bool portOpen() const;

    std::unique_ptr<MainWindowUi> m_ui;
    QTimer m_timer;
    WindowLinkView m_linkView;
    std::unique_ptr<StationLink> m_link;
    /// The link's operator: every box holds the status poll while it is up.
    Operator &m_op;
    ProgramTable m_table;
    EditState m_edit;
    StationValues m_values;
    QString m_portNumber;
    /// Why the settings file could not be read at start-up; told once the window shows.
    QString m_settingsReadFailure;
    QPointer<SpeedDialog> m_speedDialog;
    std::unique_ptr<ProgramFileActions> m_files;
    CompiledProgram m_program;
    std::unique_ptr<TableHistory> m_history;
    /// "結束(&E)" has asked about unsaved work already; the close must not ask again.
    bool m_quitAsked = false;
};

} // namespace talvex

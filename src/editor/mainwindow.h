#pragma once

#include "compiler/compiler.h"
#include "document/programdocument.h"
#include "document/programfileactions.h"
#include "editor/stepeditor.h"
#include "editor/uploadjob.h"
#include "editor/windowlinkview.h"
#include "link/stationlink.h"
#include "table/editstate.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>

namespace talvex {

class Operator;
class SerialPort;
class Sleeper;
class SpeedDialog;
struct MainWindowUi;

/// The station's main window: its controls, the program document it edits, the line
/// to the controller and the status timer. The step and row buttons are the step
/// editor's; the program is the document's; the window wires them and runs the
/// menus and the link buttons.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(Operator &op, SerialPort &port, Sleeper &sleeper, QWidget *parent = nullptr);
    ~MainWindow() override;

    const MainWindowUi &ui() const { return *m_ui; }
    ProgramDocument &document() { return m_document; }
    /// The operator's pending request: the chosen row, append, insert, modify.
    PendingEdit &editState() { return m_steps->pending(); }
    StationValues &values() { return m_values; }
    QTimer &statusTimer() { return m_timer; }
    SpeedDialog *speedDialog() const { return m_steps->speedDialog(); }
    StepEditor &stepEditor() { return *m_steps; }
    ProgramFileActions &fileActions() { return *m_files; }
    StationLink &stationLink() { return *m_link; }
    UploadJob &uploadJob() { return *m_upload; }
    /// The operator every box and file dialog goes through; it holds the polls while
    /// one is up.
    Operator &op() { return m_link->op(); }
    /// The compile options as the check boxes and the acceleration box stand.
    CompileOptions compileOptions() const;
    /// The link's view of the window (status panel, motion buttons, timer, I/O boxes).
    LinkView &linkView() { return m_linkView; }

    /// Tells @p text once the window is shown (a box before it would stand alone,
    /// unexplained): what went wrong while the station started.
    void noticeWhenShown(const QString &text);

    /// Opens @p path in place of the program, asking first when that would lose
    /// unsaved work (a recent file, a file dropped on the window or named at start).
    bool openProgramFile(const QString &path);

    /// Chooses step @p row as a click on its list row does.
    void chooseRow(int row) { m_steps->chooseRow(row); }

Q_SIGNALS:
    /// The Point button armed a point request; the teach dialog answers it.
    void pointRequested();
    /// The window is closing; the dialogs it opened go with it.
    void closing();
    /// The operator chose step @p row (a click or a keyboard move in the list).
    void rowChosen(int row);
    /// The program file @p path was opened or written.
    void programFileUsed(const QString &path);

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void initConnections();
    void startUp();

    void onPortChosen(int n);
    void onLocate();
    void onExit();
    void onNewProgram();
    void onOpenProgram();
    void showAndStorePort();
    /// The file panel: the program's file name, "*" while it holds unsaved work.
    void showProgramFile();

    std::unique_ptr<MainWindowUi> m_ui;
    QTimer m_timer;
    WindowLinkView m_linkView;
    std::unique_ptr<StationLink> m_link;
    ProgramDocument m_document;
    StationValues m_values;
    std::unique_ptr<StepEditor> m_steps;
    std::unique_ptr<ProgramFileActions> m_files;
    std::unique_ptr<UploadJob> m_upload;
    /// What went wrong at start-up, told once the window shows.
    QStringList m_startUpNotices;
    /// "結束(&E)" has asked about unsaved work already; the close must not ask again.
    bool m_quitAsked = false;
};

} // namespace talvex

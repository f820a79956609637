#pragma once

#include "table/editstate.h"
#include "editor/speeddialog.h"
#include "files/programfileactions.h"
#include "table/programtable.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace talvex {

class Operator;
struct MainWindowUi;

/// The station's main window. It owns the step table and all editing state and runs
/// the handlers of the step, row, menu and link controls on the UI thread.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(Operator &op, QWidget *parent = nullptr);
    ~MainWindow() override;

    // State, for the dialogs and for tests.
    ProgramTable &table() { return m_table; }
    EditState &editState() { return m_edit; }
    StationValues &values() { return m_values; }
    const MainWindowUi &ui() const { return *m_ui; }
    QTimer &statusTimer() { return m_timer; }
    SpeedDialog *speedDialog() const { return m_speedDialog; }
    ProgramFileActions &fileActions() { return *m_files; }

    void EnableStepButtons();
    void DisableStepButtons();
    void EnableRowButtons();
    void DisableRowButtons();
    /// Re-lists the table into the step list.
    void showIt();

Q_SIGNALS:
    /// The Point button armed a point request; the teach dialog answers it.
    void pointRequested();

protected:
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
    void onExit();
    void onNewProgram();
    void onOpenProgram();
    void onSaveProgramAs();

    void SETCOM();
    /// Places one step through the common write path and re-lists the table.
    void placeStep(const Step &step);
    /// Asks for a step's datum; the empty text means cancelled.
    QString askDatum(const QString &message, const QString &title, const QString &defaultText = QString());
    bool portOpen() const;
    void setLinkStatus(const QString &text);
    void setMotionButtonsEnabled(bool enabled);

    Operator &m_op;
    std::unique_ptr<MainWindowUi> m_ui;
    ProgramTable m_table;
    EditState m_edit;
    StationValues m_values;
    QString m_portNumber;
    QTimer m_timer;
    QPointer<SpeedDialog> m_speedDialog;
    std::unique_ptr<ProgramFileActions> m_files;
};

} // namespace talvex

#pragma once

#include "editor/speeddialog.h"
#include "table/editstate.h"
#include "table/programtable.h"
#include "table/stepkind.h"

#include <QObject>
#include <QPointer>

class QTimer;
class QWidget;

namespace talvex {

class Operator;
class ProgramDocument;
struct MainWindowUi;

/// The step and row buttons of the main window: "編輯開始", the eight step buttons, the
/// speed dialog, "插入", "刪除", "修改" and the choice of a row in the list. It keeps
/// the operator's pending request (the chosen row, append, insert, modify) and the
/// values the step buttons remember; the program itself is the document's.
class StepEditor : public QObject
{
    Q_OBJECT

public:
    StepEditor(const MainWindowUi &ui, ProgramDocument &document, StationValues &values, Operator &op, QWidget &window,
               QTimer &statusTimer);
    ~StepEditor() override;

    PendingEdit &pending() { return m_pending; }
    SpeedDialog *speedDialog() const { return m_speedDialog; }

    void enableStepButtons();
    void disableStepButtons();
    void enableRowButtons();
    void disableRowButtons();

    /// Chooses step @p row as a click on its list row does (CurrentRow, the row
    /// buttons), and selects it in the list. Rows that are no step are ignored.
    void chooseRow(int row);
    /// A whole new program is in the table (New, Open, a recovered one): a row
    /// operation needs a fresh row click.
    void forgetChosenRow();
    /// The status bar's message panel says what the next placed step will do.
    void showPendingEdit();

Q_SIGNALS:
    /// The Point button armed a point request; the teach dialog answers it.
    void pointRequested();
    /// The operator chose step @p row (a click or a keyboard move in the list).
    void rowChosen(int row);

private:
    void initConnections();
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
    /// Undo or redo put an earlier program back.
    void onRestored();
    /// Places one step where the pending request says; a full program is told.
    void placeStep(const Step &step);

    const MainWindowUi &m_ui;
    ProgramDocument &m_document;
    StationValues &m_values;
    Operator &m_op;
    QWidget &m_window;
    QTimer &m_timer;
    PendingEdit m_pending;
    /// "編輯開始" has opened the step buttons.
    bool m_editing = false;
    QPointer<SpeedDialog> m_speedDialog;
};

} // namespace talvex

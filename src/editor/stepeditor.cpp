#include "editor/stepeditor.h"

#include "check/programcheck.h"
#include "core/operator.h"
#include "core/textnumber.h"
#include "document/programdocument.h"
#include "editor/mainwindowui.h"
#include "editor/speeddialog.h"
#include "editor/steplistview.h"
#include "table/placement.h"

#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace talvex {

namespace {

Step datumStep(StepKind kind, const QString &datum)
{
    const QString zero = QStringLiteral("0");
    return {kindLiteral(kind), datum, zero, zero, zero};
}

} // namespace

StepEditor::StepEditor(const MainWindowUi &ui, ProgramDocument &document, StationValues &values, Operator &op,
                       QWidget &window, QTimer &statusTimer)
    : m_ui(ui), m_document(document), m_values(values), m_op(op), m_window(window), m_timer(statusTimer)
{
    initConnections();
}

StepEditor::~StepEditor()
{
    // A window of its own (a disabled main window must not disable it), so it is not
    // deleted with the main window's children.
    delete m_speedDialog;
}

void StepEditor::initConnections()
{
    const MainWindowUi &ui = m_ui;
    connect(ui.startEditingButton, &QPushButton::clicked, this, &StepEditor::onStartEditing);
    connect(ui.stepList, &StepListView::rowChosen, this, &StepEditor::onRowChosen);
    connect(ui.speedButton, &QPushButton::clicked, this, &StepEditor::onSpeed);
    connect(ui.pointButton, &QPushButton::clicked, this, &StepEditor::onPoint);
    connect(ui.insertButton, &QPushButton::clicked, this, &StepEditor::onInsert);
    connect(ui.deleteButton, &QPushButton::clicked, this, &StepEditor::onDelete);
    connect(ui.modifyButton, &QPushButton::clicked, this, &StepEditor::onModify);
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
    connect(&m_document, &ProgramDocument::restored, this, &StepEditor::onRestored);
    // Every placement (the teach dialog's points too), delete, undo and redo.
    connect(&m_document, &ProgramDocument::changed, this, &StepEditor::showPendingEdit);
}

void StepEditor::enableStepButtons()
{
    for (QPushButton *b : m_ui.stepButtons())
        b->setEnabled(true);
    m_ui.startEditingButton->setEnabled(false);
    m_editing = true;
    showPendingEdit();
}

void StepEditor::disableStepButtons()
{
    m_ui.startEditingButton->setEnabled(true);
    for (QPushButton *b : m_ui.stepButtons())
        b->setEnabled(false);
    m_editing = false;
    showPendingEdit();
}

void StepEditor::showPendingEdit()
{
    m_ui.setStatusMessage(pendingEditMessage(m_pending, m_document.lastRow(), m_editing));
}

void StepEditor::enableRowButtons()
{
    for (QPushButton *b : m_ui.rowButtons())
        b->setEnabled(true);
}

void StepEditor::disableRowButtons()
{
    for (QPushButton *b : m_ui.rowButtons())
        b->setEnabled(false);
}

void StepEditor::placeStep(const Step &step)
{
    if (m_document.placeStep(step, m_pending) == Placement::Full)
        m_op.notice(programFullMessage(), messageTitle(), Operator::Icon::Warning);
    showPendingEdit();
}

void StepEditor::onStartEditing()
{
    m_document.setDirty(true);
    enableStepButtons();
    disableRowButtons();
}

void StepEditor::chooseRow(int row)
{
    if (!m_document.isStepRow(row))
        return;
    m_ui.stepList->selectRow(row);
    onRowChosen(QString::number(row));
}

void StepEditor::forgetChosenRow()
{
    disableRowButtons();
}

void StepEditor::onRowChosen(const QString &itemText)
{
    m_pending.CurrentRow = wholeNumberOf(itemText);
    enableRowButtons();
    showPendingEdit(); // a pending insert or modify follows the chosen row
    Q_EMIT rowChosen(m_pending.CurrentRow);
}

void StepEditor::onSpeed()
{
    armAppend(m_pending);
    showPendingEdit();
    m_timer.stop();
    if (!m_speedDialog) {
        m_speedDialog = new SpeedDialog(m_values.SpeedValue);
        connect(m_speedDialog, &SpeedDialog::confirmed, this, &StepEditor::onSpeedConfirmed);
        // Closing the dialog any other way places nothing but must give the main
        // window back, or the operator would be locked out.
        connect(m_speedDialog, &SpeedDialog::cancelled, this, [this] { m_window.setEnabled(true); });
        connect(m_speedDialog, &QDialog::finished, m_speedDialog, &QObject::deleteLater);
    }
    m_speedDialog->show();
    // Kept above the main window it disables: a click on the grey window must not
    // bury it and leave a station that looks dead.
    if (QWindow *dialog = m_speedDialog->windowHandle())
        dialog->setTransientParent(m_window.windowHandle());
    m_speedDialog->raise();
    m_speedDialog->activateWindow();
    m_window.setEnabled(false);
    m_timer.start();
}

void StepEditor::onSpeedConfirmed(int speed)
{
    // The speed is kept only when a step is actually placed: a point confirmed in the
    // meantime may have used up the armed append.
    if (m_pending.AppendMode || m_pending.InsertMode || m_pending.ModifyMode) {
        m_values.SpeedValue = QString::number(speed);
        placeStep(datumStep(StepKind::Speed, m_values.SpeedValue));
    }
    m_window.setEnabled(true);
}

void StepEditor::onPoint()
{
    m_document.setDirty(true);
    m_values.PointKindFlag = QStringLiteral("1");
    armAppend(m_pending);
    showPendingEdit();
    m_timer.stop();
    Q_EMIT pointRequested();
    m_timer.start();
}

void StepEditor::onDatumStep(StepKind kind, const QString &message, const QString &title)
{
    armAppend(m_pending);
    showPendingEdit();
    QString datum = QStringLiteral("0");
    if (!message.isEmpty()) {
        // The delay prompt offers the last delay, so repeated delays need only an OK.
        const bool delay = kind == StepKind::Wait;
        QString text = message;
        // The jump prompt names the labels there are to jump to.
        const QStringList labels =
            kind == StepKind::JumpToLabel ? definedLabels(m_document.table(), m_document.lastRow()) : QStringList();
        if (!labels.isEmpty())
            text += QStringLiteral("\n已有的標籤: ") + labels.join(QStringLiteral(", "));
        datum = m_op.prompt(text, title, delay ? m_values.DelayValue : QString());
        if (datum.isEmpty())
            return;
        if (delay)
            m_values.DelayValue = datum;
    }
    placeStep(datumStep(kind, datum));
}

void StepEditor::onInsert()
{
    if (!m_document.isStepRow(m_pending.CurrentRow))
        return;
    m_document.setDirty(true);
    disableRowButtons();
    enableStepButtons();
    m_pending.AppendMode = false;
    m_pending.InsertMode = true;
    showPendingEdit();
}

void StepEditor::onDelete()
{
    if (!m_document.isStepRow(m_pending.CurrentRow))
        return;
    m_document.setDirty(true);
    m_document.deleteRow(m_pending);
    disableRowButtons();
}

void StepEditor::onModify()
{
    if (!m_document.isStepRow(m_pending.CurrentRow))
        return;
    m_document.setDirty(true);
    m_pending.AppendMode = false;
    m_pending.ModifyMode = true;
    disableRowButtons();
    showPendingEdit();
}

void StepEditor::onRestored()
{
    // A pending insert or modify names a row that may have moved or gone, so it is
    // dropped. An armed append lands after whatever the last step is then; a point
    // still being taught in the open teach dialog becomes one, so it is not lost.
    m_pending.InsertMode = false;
    m_pending.ModifyMode = false;
    if (leadingNumber(m_values.PointKindFlag) == 1.0)
        m_pending.AppendMode = true;
    disableRowButtons(); // a row operation needs a fresh row click
    showPendingEdit();
}

} // namespace talvex

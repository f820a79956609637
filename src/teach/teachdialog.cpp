#include "teach/teachdialog.h"

#include "core/iomask.h"
#include "core/operator.h"
#include "core/text.h"
#include "core/textnumber.h"
#include "document/programdocument.h"
#include "link/controllersession.h"
#include "link/line.h"
#include "link/pollhold.h"
#include "table/editstate.h"
#include "table/placement.h"
#include "table/programtable.h"
#include "table/stepkind.h"
#include "table/steplist.h"
#include "teach/teachdialogui.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace talvex {

namespace {

template <std::size_t N> MaskBoxes<N> statesOf(const std::array<QCheckBox *, N> &boxes)
{
    MaskBoxes<N> states{};
    for (std::size_t i = 0; i < N; ++i)
        states[i] = boxes[i]->isChecked();
    return states;
}

/// A stored mask into the boxes. A mask of 0 or less leaves them as they are, which
/// when the dialog opens means all unchecked.
template <std::size_t N> void showMask(long long mask, const std::array<QCheckBox *, N> &boxes)
{
    const std::optional<MaskSweep<N>> sweep = sweepMask<N>(mask);
    if (!sweep)
        return;
    for (std::size_t i = 0; i < N; ++i)
        boxes[i]->setChecked(sweep->boxes[i]);
}

} // namespace

TeachDialog::TeachDialog(const TeachContext &context, QWidget *parent)
    : QDialog(parent), m_context(context), m_ui(std::make_unique<TeachDialogUi>())
{
    m_ui->setupUi(this);
    m_poll.setInterval(kPollMs);
    // Like the main window's status timer, the poll waits while a box is up.
    m_context.polls.addTimer(m_poll);
    initConnections();
}

TeachDialog::~TeachDialog() = default;

void TeachDialog::initConnections()
{
    connect(m_ui->numericOption, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            onModeSelected(0);
    });
    connect(m_ui->teachOption, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            onModeSelected(1);
    });
    connect(m_ui->locateButton, &QPushButton::clicked, this, &TeachDialog::onLocate);
    connect(m_ui->confirmButton, &QPushButton::clicked, this, &TeachDialog::onConfirm);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &TeachDialog::onCancel);
    connect(&m_poll, &QTimer::timeout, this, &TeachDialog::onPollTick);
}

bool TeachDialog::linkUp() const
{
    return m_context.session.line().isOpen();
}

void TeachDialog::start()
{
    if (linkUp()) {
        m_ui->statusLink->setText(QStringLiteral("連線中"));
        m_poll.start();
        // Selecting the option sends its command at once, as a click would.
        if (m_context.values.NumericInput)
            m_ui->numericOption->setChecked(true);
        else
            m_ui->teachOption->setChecked(true);
    } else {
        m_context.values.NumericInput = true;
        m_ui->statusLink->setText(QStringLiteral("未連線"));
        m_poll.stop();
        m_ui->teachOption->setEnabled(false);
        m_ui->numericOption->setChecked(true);
    }

    m_ui->xReadout->setText(QStringLiteral("0"));
    m_ui->yReadout->setText(QStringLiteral("0"));

    if (m_context.edit.ModifyMode) {
        const StepRow row = m_context.document.table().stepRow(m_context.edit.CurrentRow);
        m_ui->xTarget->setText(row.x());
        m_ui->yTarget->setText(row.y());
        // A row of another kind holds no masks; its text reads as 0 (no box).
        showInputMask(wholeNumberOf(row.datum()));
        showOutputMask(wholeNumberOf(row.out()));
    } else {
        m_ui->xTarget->setText(m_context.values.TeachX);
        m_ui->yTarget->setText(m_context.values.TeachY);
    }
}

void TeachDialog::showInputMask(long long mask)
{
    showMask(mask, m_ui->inputBoxes);
}

void TeachDialog::showOutputMask(long long mask)
{
    showMask(mask, m_ui->outputBoxes);
}

unsigned long TeachDialog::inputMask() const
{
    return maskOf(statesOf(m_ui->inputBoxes));
}

unsigned long TeachDialog::outputMask() const
{
    return maskOf(statesOf(m_ui->outputBoxes));
}

void TeachDialog::setTargetsEditable(bool editable)
{
    m_ui->xTarget->setEnabled(editable);
    m_ui->yTarget->setEnabled(editable);
}

void TeachDialog::onModeSelected(int index)
{
    if (!linkUp())
        return;
    Line::Operation operation(m_context.session.line());
    if (index == 0) {
        m_context.session.holdOn();
        m_context.values.NumericInput = true;
        setTargetsEditable(true);
    } else {
        m_context.session.holdOff();
        m_context.values.NumericInput = false;
        setTargetsEditable(false);
    }
}

void TeachDialog::onLocate()
{
    if (!m_context.values.NumericInput)
        return;
    const QString refusal = ControllerSession::locateRefusal(
        {{QStringLiteral("X軸距離"), m_ui->xTarget->text()}, {QStringLiteral("Y軸距離"), m_ui->yTarget->text()}});
    if (!refusal.isEmpty()) {
        m_context.op.notice(refusal, messageTitle(), Operator::Icon::Warning);
        return;
    }
    Line::Operation operation(m_context.session.line());
    if (!linkUp()) {
        m_context.op.notice(Line::linkErrorText());
        return;
    }
    m_context.session.moveTo(m_ui->xTarget->text(), m_ui->yTarget->text());
}

void TeachDialog::onPollTick()
{
    if (!linkUp()) {
        m_poll.stop();
        m_ui->statusLink->setText(QStringLiteral("未連線"));
        return;
    }
    m_ui->statusLink->setText(QStringLiteral("連線中"));
    readPositions();
}

void TeachDialog::readPositions()
{
    ControllerSession &session = m_context.session;
    Line::Operation operation(session.line());
    if (!linkUp()) {
        m_context.op.notice(Line::notRespondingText());
        m_ui->statusLink->setText(QStringLiteral("未連線"));
        return;
    }
    const std::optional<QString> x = session.readPositionX();
    if (!x)
        return;
    m_ui->xReadout->setText(*x);
    const std::optional<QString> y = session.readPositionY();
    if (!y)
        return;
    m_ui->yReadout->setText(*y);
    if (!m_context.values.NumericInput) {
        m_ui->xTarget->setText(m_ui->xReadout->text());
        m_ui->yTarget->setText(m_ui->yReadout->text());
    }
}

void TeachDialog::onConfirm()
{
    const bool polling = m_poll.isActive();
    m_poll.stop();
    const QString inMask = QString::number(inputMask());
    const QString outMask = QString::number(outputMask());
    const QString xText = m_ui->xTarget->text();
    const QString yText = m_ui->yTarget->text();
    const Step step = {kindLiteral(StepKind::Point), inMask, coordinateText(xText), coordinateText(yText), outMask};

    StationValues &values = m_context.values;
    const PointPlacement placement = m_context.document.placePoint(step, m_context.edit, values.PointKindFlag);
    switch (placement) {
    case PointPlacement::Full:
        // The point stays pending and the dialog open: the operator can cancel, or
        // delete a row in the main window and confirm again.
        m_context.op.notice(programFullMessage(), messageTitle(), Operator::Icon::Warning);
        // The poll goes on as it was: a tick that found the link down stopped it for
        // this opening, even if the link has come back since.
        if (polling)
            m_poll.start();
        return;
    case PointPlacement::Appended:
        values.TeachX = xText;
        values.TeachY = yText;
        // The new item shows the targets as typed or copied, unfiltered, until the
        // list is next rebuilt from the table.
        m_context.list.showSubItems(m_context.edit.CurrentRow, {inMask, values.TeachX, values.TeachY, outMask});
        break;
    case PointPlacement::Inserted:
        values.TeachX = xText;
        values.TeachY = yText;
        if (m_context.enableMainWindow)
            m_context.enableMainWindow();
        break;
    case PointPlacement::Modified:
        values.TeachX = xText;
        values.TeachY = yText;
        break;
    case PointPlacement::Nothing:
        break;
    }
    finish();
}

void TeachDialog::onCancel()
{
    m_poll.stop();
    finish();
}

void TeachDialog::finish()
{
    if (linkUp()) {
        Line::Operation operation(m_context.session.line());
        m_context.session.holdOn();
    }
    if (m_context.enableMainWindow)
        m_context.enableMainWindow();
    done(QDialog::Accepted);
}

void TeachDialog::closeEvent(QCloseEvent *event)
{
    // The close box discards the dialog: nothing is sent and nothing is placed.
    m_poll.stop();
    QDialog::closeEvent(event);
}

void TeachDialog::reject()
{
    m_poll.stop();
    QDialog::reject();
}

} // namespace talvex

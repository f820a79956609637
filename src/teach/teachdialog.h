#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

namespace talvex {

class ControllerSession;
class Operator;
class PollHold;
class ProgramDocument;
class StepList;
struct PendingEdit;
struct StationValues;
struct TeachDialogUi;

/// What the teach dialog works on: the session on the main window's line and the hold
/// of its polls, the program document, the main window's pending request and values,
/// its step list, and a way to give the main window back. The operator should be the
/// one that holds the polls while a box is up (StationLink::op()).
struct TeachContext
{
    ControllerSession &session;
    PollHold &polls;
    ProgramDocument &document;
    PendingEdit &edit;
    StationValues &values;
    StepList &list;
    Operator &op;
    std::function<void()> enableMainWindow;
};

/// The teach dialog (Form3): shows the live X/Y position, moves the axes to typed
/// targets or follows them while they are moved by hand, and confirms one POINT step
/// with the inputs it waits for and the outputs it sets.
class TeachDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kPollMs = 200;

    explicit TeachDialog(const TeachContext &context, QWidget *parent = nullptr);
    ~TeachDialog() override;

    /// Runs once when the main window shows the dialog: link state, mode, readouts,
    /// targets and boxes.
    void start();

    const TeachDialogUi &ui() const { return *m_ui; }
    QTimer &pollTimer() { return m_poll; }

    /// Sets the input and output boxes from stored masks.
    void showInputMask(long long mask);
    void showOutputMask(long long mask);

    /// Masks of the boxes as they stand.
    unsigned long inputMask() const;
    unsigned long outputMask() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void initConnections();
    void onModeSelected(int index);
    void onLocate();
    void onPollTick();
    void readPositions();
    void onConfirm();
    void onCancel();
    /// Ends the dialog after confirm or cancel: "HON" when the link is up, the main
    /// window enabled, the dialog closed.
    void finish();
    void setTargetsEditable(bool editable);
    bool linkUp() const;

    TeachContext m_context;
    std::unique_ptr<TeachDialogUi> m_ui;
    QTimer m_poll;
};

} // namespace talvex

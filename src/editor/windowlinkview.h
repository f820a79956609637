#pragma once

#include "link/linkview.h"

class QTimer;

namespace talvex {

struct MainWindowUi;

/// The link's view of the main window: the link status panel, the two motion
/// buttons, the status timer and the I/O panel's boxes.
class WindowLinkView : public LinkView
{
public:
    /// @p ui may still be empty: it is only read once the link acts.
    WindowLinkView(const MainWindowUi &ui, QTimer &statusTimer);

    void setLinkStatus(const QString &text) override;
    void setMotionButtonsEnabled(bool enabled) override;
    void setStatusTimerRunning(bool running) override;
    bool statusTimerRunning() const override;
    bool outputChecked(int n) const override;
    void setInputChecked(int k, bool checked) override;
    void setAccelerationReadout(const QString &text) override;

private:
    const MainWindowUi &m_ui;
    QTimer &m_timer;
};

} // namespace talvex

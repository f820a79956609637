#pragma once

#include <QString>

namespace talvex {

/// What the link code shows and reads on the main window: the status panel, the two
/// motion buttons, the status timer and the I/O panel's boxes.
class LinkView
{
public:
    virtual ~LinkView();

    virtual void setLinkStatus(const QString &text) = 0;
    /// "定位" and "原點".
    virtual void setMotionButtonsEnabled(bool enabled) = 0;
    virtual void setStatusTimerRunning(bool running) = 0;
    virtual bool statusTimerRunning() const = 0;

    /// Output box n (1..8) checked.
    virtual bool outputChecked(int n) const = 0;
    /// Input box k (1..16).
    virtual void setInputChecked(int k, bool checked) = 0;
    /// The internal acceleration readout.
    virtual void setAccelerationReadout(const QString &text) = 0;
};

} // namespace talvex

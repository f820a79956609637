#pragma once

#include "link/linkview.h"

#include <QStringList>

#include <array>

namespace talvex::testing {

/// The main window's link-facing side without widgets.
class FakeLinkView : public LinkView
{
public:
    QString status = QStringLiteral("未連線");
    bool motionEnabled = false;
    bool timerRunning = true;
    /// Index n-1 holds box n.
    std::array<bool, 8> outputs{};
    std::array<bool, 16> inputs{};
    QString acceleration = QStringLiteral("0");
    /// Every status text set, in order.
    QStringList statusHistory;
    int inputWrites = 0;

    void setLinkStatus(const QString &text) override
    {
        status = text;
        statusHistory << text;
    }
    void setMotionButtonsEnabled(bool enabled) override { motionEnabled = enabled; }
    void setStatusTimerRunning(bool running) override { timerRunning = running; }
    bool statusTimerRunning() const override { return timerRunning; }
    bool outputChecked(int n) const override { return outputs[static_cast<size_t>(n) - 1]; }
    void setInputChecked(int k, bool checked) override
    {
        inputs[static_cast<size_t>(k) - 1] = checked;
        ++inputWrites;
    }
    void setAccelerationReadout(const QString &text) override { acceleration = text; }

    void checkOutput(int n, bool on) { outputs[static_cast<size_t>(n) - 1] = on; }
    /// The checked input boxes as a list of numbers, ascending.
    QList<int> checkedInputs() const
    {
        QList<int> out;
        for (int k = 1; k <= 16; ++k) {
            if (inputs[static_cast<size_t>(k) - 1])
                out << k;
        }
        return out;
    }
};

} // namespace talvex::testing

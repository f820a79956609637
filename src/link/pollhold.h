#pragma once

#include <QPointer>

#include <functional>
#include <vector>

class QTimer;

namespace talvex {

/// Keeps the line's periodic polls (the main window's status timer, the teach
/// dialog's position poll) stopped while the operator has a box or dialog in front
/// of them. A modal box runs an event loop of its own; a poll that ticked inside it
/// would start an exchange in the middle of the handler that asked the question, or
/// pile up boxes of its own. The operator seam holds the polls around every
/// interaction, so no handler and no tick has to think about it.
class PollHold
{
public:
    /// A poll to stop during holds. It is forgotten when the timer is destroyed.
    void addTimer(QTimer &timer);
    bool isHeld() const { return m_depth > 0; }
    /// Runs when the last hold is about to end, before any poll runs again: what had
    /// to wait for the operator (a line lost meanwhile) is told then.
    void setReleaseHandler(std::function<void()> handler) { m_releaseHandler = std::move(handler); }

    /// Holds the polls for its lifetime. Holds nest; the polls that were running when
    /// the outermost began run again when it ends.
    class Scope
    {
    public:
        explicit Scope(PollHold &hold);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        PollHold &m_hold;
    };

private:
    void hold();
    void release();

    int m_depth = 0;
    std::vector<QPointer<QTimer>> m_timers;
    /// The polls this hold stopped, to start again at its end.
    std::vector<QPointer<QTimer>> m_stopped;
    std::function<void()> m_releaseHandler;
};

} // namespace talvex

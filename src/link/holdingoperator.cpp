#include "link/holdingoperator.h"

#include "link/pollhold.h"

namespace talvex {

Operator::Reply HoldingOperator::ask(const Request &request)
{
    PollHold::Scope hold(m_hold);
    return m_op.ask(request);
}

void HoldingOperator::showProgress(const QString &text, const QString &title, qint64 done, qint64 total)
{
    // Showing progress lets the event loop run (the window repaints during a long
    // download); no poll may tick in the middle of the transfer.
    PollHold::Scope hold(m_hold);
    m_op.showProgress(text, title, done, total);
}

void HoldingOperator::endProgress()
{
    PollHold::Scope hold(m_hold);
    m_op.endProgress();
}

} // namespace talvex

#include "link/holdingoperator.h"

#include "link/pollhold.h"

namespace talvex {

void HoldingOperator::notice(const QString &text, const QString &title, Icon icon)
{
    PollHold::Scope hold(m_hold);
    m_op.notice(text, title, icon);
}

bool HoldingOperator::askYesNo(const QString &text, const QString &title)
{
    PollHold::Scope hold(m_hold);
    return m_op.askYesNo(text, title);
}

Operator::Answer HoldingOperator::askYesNoCancel(const QString &text, const QString &title)
{
    PollHold::Scope hold(m_hold);
    return m_op.askYesNoCancel(text, title);
}

bool HoldingOperator::askOkCancel(const QString &text, const QString &title, Icon icon)
{
    PollHold::Scope hold(m_hold);
    return m_op.askOkCancel(text, title, icon);
}

QString HoldingOperator::prompt(const QString &message, const QString &title, const QString &defaultText)
{
    PollHold::Scope hold(m_hold);
    return m_op.prompt(message, title, defaultText);
}

QString HoldingOperator::openFileName(const QString &filter)
{
    PollHold::Scope hold(m_hold);
    return m_op.openFileName(filter);
}

QString HoldingOperator::saveFileName(const QString &filter)
{
    PollHold::Scope hold(m_hold);
    return m_op.saveFileName(filter);
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

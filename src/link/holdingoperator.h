#pragma once

#include "core/operator.h"

namespace talvex {

class PollHold;

/// The operator as the station's own code sees it: every box, prompt and file dialog
/// goes to the real operator with the line's polls held for as long as it is up. A
/// progress display holds them while each step of it is shown, the only time the
/// event loop runs under it.
class HoldingOperator : public Operator
{
public:
    HoldingOperator(Operator &op, PollHold &hold) : m_op(op), m_hold(hold) {}

    Reply ask(const Request &request) override;
    void showProgress(const QString &text, const QString &title, qint64 done, qint64 total) override;
    void endProgress() override;

private:
    Operator &m_op;
    PollHold &m_hold;
};

} // namespace talvex

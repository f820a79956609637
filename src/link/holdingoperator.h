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

    void notice(const QString &text, const QString &title, Icon icon) override;
    bool askYesNo(const QString &text, const QString &title) override;
    Answer askYesNoCancel(const QString &text, const QString &title) override;
    bool askOkCancel(const QString &text, const QString &title, Icon icon) override;
    QString prompt(const QString &message, const QString &title, const QString &defaultText) override;
    QString openFileName(const QString &filter) override;
    QString saveFileName(const QString &filter) override;
    void showProgress(const QString &text, const QString &title, qint64 done, qint64 total) override;
    void endProgress() override;

private:
    Operator &m_op;
    PollHold &m_hold;
};

} // namespace talvex

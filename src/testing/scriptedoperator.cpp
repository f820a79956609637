#include "testing/scriptedoperator.h"

namespace talvex::testing {

ScriptedOperator::Answer ScriptedOperator::next()
{
    if (m_answers.empty()) {
        ++m_unscripted;
        return {false, {}, true};
    }
    Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

void ScriptedOperator::record(const Shown &shown)
{
    m_shown.push_back(shown);
    if (onShow)
        onShow(shown);
}

Operator::Reply ScriptedOperator::ask(const Request &request)
{
    record(request);
    if (request.kind == Kind::Notice)
        return {Operator::Answer::Yes, {}};
    const Answer a = next();
    if (a.accept)
        return {Operator::Answer::Yes, a.text};
    // A box with Cancel (and the dialogs) give Cancel where a test asked for it or
    // where nothing was queued; a Yes/No question gives No.
    const bool hasCancel = request.kind != Kind::YesNo;
    const bool cancel = request.kind == Kind::YesNoCancel ? a.cancel : hasCancel;
    return {cancel ? Operator::Answer::Cancel : Operator::Answer::No, {}};
}

void ScriptedOperator::showProgress(const QString &, const QString &, qint64 done, qint64 total)
{
    ++progressUpdates;
    progressOpen = true;
    lastProgressDone = done;
    lastProgressTotal = total;
}

void ScriptedOperator::endProgress()
{
    progressOpen = false;
}

QStringList ScriptedOperator::texts() const
{
    QStringList all;
    for (const Shown &s : m_shown)
        all << s.text;
    return all;
}

QStringList ScriptedOperator::notices() const
{
    QStringList all;
    for (const Shown &s : m_shown) {
        if (s.kind == Kind::Notice)
            all << s.text;
    }
    return all;
}

void ScriptedOperator::clear()
{
    m_shown.clear();
    m_answers.clear();
    m_unscripted = 0;
}

} // namespace talvex::testing

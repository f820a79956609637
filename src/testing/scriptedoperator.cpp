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

void ScriptedOperator::notice(const QString &text, const QString &title, Icon icon)
{
    record({Kind::Notice, text, title, icon, {}, {}});
}

bool ScriptedOperator::askYesNo(const QString &text, const QString &title)
{
    record({Kind::YesNo, text, title, Icon::Question, {}, {}});
    return next().accept;
}

Operator::Answer ScriptedOperator::askYesNoCancel(const QString &text, const QString &title)
{
    record({Kind::YesNoCancel, text, title, Icon::Question, {}, {}});
    const Answer a = next();
    if (a.accept)
        return Operator::Answer::Yes;
    return a.cancel ? Operator::Answer::Cancel : Operator::Answer::No;
}

bool ScriptedOperator::askOkCancel(const QString &text, const QString &title, Icon icon)
{
    record({Kind::OkCancel, text, title, icon, {}, {}});
    return next().accept;
}

QString ScriptedOperator::prompt(const QString &message, const QString &title, const QString &defaultText)
{
    record({Kind::Prompt, message, title, Icon::None, defaultText, {}});
    const Answer a = next();
    return a.accept ? a.text : QString();
}

QString ScriptedOperator::openFileName(const QString &filter)
{
    record({Kind::OpenFile, {}, {}, Icon::None, {}, filter});
    const Answer a = next();
    return a.accept ? a.text : QString();
}

QString ScriptedOperator::saveFileName(const QString &filter)
{
    record({Kind::SaveFile, {}, {}, Icon::None, {}, filter});
    const Answer a = next();
    return a.accept ? a.text : QString();
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

#pragma once

#include "core/operator.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace talvex::testing {

/// An Operator for tests: answers from a queue and records every box, prompt and
/// dialog shown, so tests can assert exact texts, titles, buttons and icons.
class ScriptedOperator : public Operator
{
public:
    using Kind = Operator::Kind;
    /// What was shown: the request as it was put to the operator.
    using Shown = Operator::Request;

    // Queue the answers in the order the questions will come.
    void answerYes() { m_answers.push_back({true, {}}); }
    void answerNo() { m_answers.push_back({false, {}}); }
    void answerOk() { m_answers.push_back({true, {}}); }
    void answerCancel() { m_answers.push_back({false, {}, true}); }
    void answerText(const QString &text) { m_answers.push_back({true, text}); }
    void answerFile(const QString &path) { m_answers.push_back({true, path}); }

    Reply ask(const Request &request) override;
    void showProgress(const QString &text, const QString &title, qint64 done, qint64 total) override;
    void endProgress() override;

    const std::vector<Shown> &shown() const { return m_shown; }
    /// Texts of every interaction, in order.
    QStringList texts() const;
    /// Texts of the notices only.
    QStringList notices() const;
    void clear();
    /// Questions asked with no answer queued (they got the negative answer; a question
    /// with Cancel got Cancel).
    int unscripted() const { return m_unscripted; }
    int pendingAnswers() const { return static_cast<int>(m_answers.size()); }

    /// Called while a box is "open", before it is answered: lets a test look at the
    /// state the handler had reached.
    std::function<void(const Shown &)> onShow;

    int progressUpdates = 0;
    qint64 lastProgressDone = 0;
    qint64 lastProgressTotal = 0;
    bool progressOpen = false;

private:
    struct Answer
    {
        bool accept;
        QString text;
        /// Cancel rather than No, where a question has both.
        bool cancel = false;
    };
    Answer next();
    void record(const Shown &shown);

    std::vector<Shown> m_shown;
    std::deque<Answer> m_answers;
    int m_unscripted = 0;
};

} // namespace talvex::testing

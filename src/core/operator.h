#pragma once

#include <QString>
#include <QtGlobal>

namespace talvex {

/// Every modal interaction with the operator goes through this interface, so that
/// handlers can be driven by tests with scripted answers. An empty title means the
/// box has no caption of its own.
class Operator
{
public:
    enum class Icon
    {
        None,
        Information,
        Question,
        Warning
    };

    /// The answer to a question with three buttons.
    enum class Answer
    {
        Yes,
        No,
        Cancel
    };

    virtual ~Operator();

    /// Message box with an OK button only.
    virtual void notice(const QString &text, const QString &title = QString(), Icon icon = Icon::None) = 0;
    /// Question with Yes and No and the question icon; true on Yes.
    virtual bool askYesNo(const QString &text, const QString &title) = 0;
    /// Question with Yes, No and Cancel and the question icon; closing the box counts
    /// as Cancel.
    virtual Answer askYesNoCancel(const QString &text, const QString &title) = 0;
    /// Box with OK and Cancel; true on OK (closing the box counts as Cancel).
    virtual bool askOkCancel(const QString &text, const QString &title, Icon icon = Icon::Question) = 0;
    /// Text prompt with OK and Cancel; Cancel gives the empty text.
    virtual QString prompt(const QString &message, const QString &title, const QString &defaultText) = 0;
    /// File dialogs with one filter entry; cancelling gives the empty text.
    virtual QString openFileName(const QString &filter) = 0;
    virtual QString saveFileName(const QString &filter) = 0;

    /// Progress of a long transfer: shown while it lasts, closed by endProgress().
    /// The default does nothing, for operators that cannot show progress.
    virtual void showProgress(const QString &text, const QString &title, qint64 done, qint64 total);
    virtual void endProgress();
};

/// Title of the notices and questions of the editor, upload and file paths.
inline QString messageTitle()
{
    return QStringLiteral("訊息");
}

} // namespace talvex

#pragma once

#include <QString>
#include <QtGlobal>

namespace talvex {

/// Every modal interaction with the operator goes through this interface, so that
/// handlers can be driven by tests with scripted answers. An empty title means the
/// box has no caption of its own.
///
/// An implementation answers one kind of call, ask(), with the interaction described
/// as data; the named functions below are the station's vocabulary for it.
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

    enum class Kind
    {
        Notice,      ///< OK only
        YesNo,       ///< Yes and No, question icon
        YesNoCancel, ///< Yes, No and Cancel, question icon; closing the box is Cancel
        OkCancel,    ///< OK and Cancel; closing the box is Cancel
        Prompt,      ///< a text with OK and Cancel; Cancel gives the empty text
        OpenFile,    ///< the open dialog with one filter entry
        SaveFile     ///< the save dialog with one filter entry
    };

    /// One box, prompt or file dialog as it is put to the operator.
    struct Request
    {
        Kind kind = Kind::Notice;
        QString text;
        QString title;
        Icon icon = Icon::None;
        QString defaultText; ///< prompts
        QString filter;      ///< file dialogs
        /// The save dialog adds it to a name without one, before it asks about
        /// replacing a file, so the question is about the file really written.
        QString defaultSuffix;
        /// Enter answers No: for questions whose Yes starts something that cannot be
        /// taken back.
        bool defaultNo = false;
    };

    struct Reply
    {
        Answer answer = Answer::Cancel;
        /// The prompt's text or the chosen file; empty when cancelled.
        QString text;
    };

    virtual ~Operator();

    /// Shows @p request and waits for the operator's answer.
    virtual Reply ask(const Request &request) = 0;

    /// Progress of a long transfer: shown while it lasts, closed by endProgress().
    /// The default does nothing, for operators that cannot show progress.
    virtual void showProgress(const QString &text, const QString &title, qint64 done, qint64 total);
    virtual void endProgress();

    /// Message box with an OK button only.
    void notice(const QString &text, const QString &title = QString(), Icon icon = Icon::None);
    /// Question with Yes and No and the question icon; true on Yes.
    bool askYesNo(const QString &text, const QString &title);
    /// askYesNo() with No as the default button.
    bool askYesNoDefaultNo(const QString &text, const QString &title);
    /// Question with Yes, No and Cancel and the question icon; closing the box counts
    /// as Cancel.
    Answer askYesNoCancel(const QString &text, const QString &title);
    /// Box with OK and Cancel; true on OK (closing the box counts as Cancel).
    bool askOkCancel(const QString &text, const QString &title, Icon icon = Icon::Question);
    /// Text prompt with OK and Cancel; Cancel gives the empty text.
    QString prompt(const QString &message, const QString &title, const QString &defaultText);
    /// File dialogs with one filter entry; cancelling gives the empty text.
    QString openFileName(const QString &filter);
    QString saveFileName(const QString &filter, const QString &defaultSuffix = QString());
};

/// Title of the notices and questions of the editor, upload and file paths.
inline QString messageTitle()
{
    return QStringLiteral("訊息");
}

} // namespace talvex

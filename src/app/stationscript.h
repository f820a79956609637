#pragma once

#include "core/operator.h"

#include <QString>
#include <QStringList>

#include <deque>

class QFile;
class QWidget;

namespace talvex {

/// The station run by a script instead of by hand, for tests of the installed
/// program where nobody can click (the Windows build under Wine). The environment
/// variable TALVEX_STATION_SCRIPT names a UTF-8 file of lines:
///
///     answer TEXT     the answer to the next question: 是, 否, 取消 or 確定, or the
///                     text of a prompt or the file of a file dialog
///     click CAPTION   presses the main window's button or menu entry with that
///                     caption ("上傳", "連線", "存檔"; "&" and "(&S)" left out)
///     grab FILE       saves a picture of the main window as it is shown
///     quit            closes the main window as the operator would
///     transcript FILE where every box shown, and the answer it got, is written
///
/// The clicks run in order once the window is up, after what start-up queued (the
/// program given on the command line, the offer of unsaved work). Notices are
/// acknowledged; a question with no answer left gets Cancel or No and is marked
/// "unanswered" in the transcript.
class StationScript : public Operator
{
public:
    /// The script named by the environment, or none: isActive() tells.
    StationScript();
    ~StationScript() override;

    bool isActive() const { return m_active; }
    /// Why the script could not be read; empty when it was, or when there is none.
    QString problem() const { return m_problem; }

    Reply ask(const Request &request) override;

    /// Runs the clicks, grabs and quit against @p window, from the event loop.
    void start(QWidget &window);

private:
    struct Step
    {
        QString command;
        QString argument;
    };
    void runNext(QWidget &window);
    bool click(QWidget &window, const QString &caption);
    void write(const QString &line);

    bool m_active = false;
    QString m_problem;
    std::deque<QString> m_answers;
    std::deque<Step> m_steps;
    QFile *m_transcript = nullptr;
};

} // namespace talvex

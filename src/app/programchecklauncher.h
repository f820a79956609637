#pragma once

#include "check/programcheck.h"
#include "editor/problemswindow.h"

#include <QObject>
#include <QPointer>

#include <vector>

namespace talvex {

class MainWindow;

/// Keeps the program checked as it changes: after every change of the table (undo and
/// redo included, once the step list has been re-listed) and of "循環", the rows with
/// problems are marked in the step list, and the window "程式檢查" from the menu
/// "檢視(&V)" lists them; a double-click there chooses the row in the list.
class ProgramCheckLauncher : public QObject
{
    Q_OBJECT

public:
    explicit ProgramCheckLauncher(MainWindow &window);
    ~ProgramCheckLauncher() override;

    ProblemsWindow *problemsWindow() const { return m_problems; }
    const std::vector<ProgramProblem> &problems() const { return m_current; }

private:
    void recheck();
    void showProblems();

    MainWindow &m_window;
    QPointer<ProblemsWindow> m_problems;
    std::vector<ProgramProblem> m_current;
};

} // namespace talvex

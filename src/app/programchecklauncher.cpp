#include "app/programchecklauncher.h"

#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/problemswindow.h"
#include "editor/steplistview.h"

#include <QAction>
#include <QCheckBox>

namespace talvex {

ProgramCheckLauncher::ProgramCheckLauncher(MainWindow &window) : m_window(window)
{
    const MainWindowUi &ui = m_window.ui();
    connect(ui.programCheckAction, &QAction::triggered, this, &ProgramCheckLauncher::showProblems);
    // Connected after the window's own re-listing, so the marks go on the new items.
    connect(&m_window.document(), &ProgramDocument::changed, this, &ProgramCheckLauncher::recheck);
    connect(ui.repeatBox, &QCheckBox::stateChanged, this, &ProgramCheckLauncher::recheck);
    connect(&m_window, &MainWindow::closing, this, [this] {
        if (m_problems)
            m_problems->close();
    });
    recheck();
}

ProgramCheckLauncher::~ProgramCheckLauncher()
{
    // A window of its own beside the main window, not one of its children.
    delete m_problems;
}

void ProgramCheckLauncher::recheck()
{
    const ProgramDocument &document = m_window.document();
    m_current = checkProgram(document.table(), document.lastRow(), m_window.compileOptions());
    markProblemRows(*m_window.ui().stepList, m_current);
    if (m_problems)
        m_problems->setProblems(m_current);
}

void ProgramCheckLauncher::showProblems()
{
    if (!m_problems) {
        m_problems = new ProblemsWindow;
        m_problems->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_problems, &ProblemsWindow::rowActivated, &m_window, &MainWindow::chooseRow);
        m_problems->setProblems(m_current);
    }
    m_problems->show();
    m_problems->raise();
    m_problems->activateWindow();
}

} // namespace talvex

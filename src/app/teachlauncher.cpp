#include "app/teachlauncher.h"

#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/steplistview.h"
#include "teach/teachdialog.h"

namespace talvex {

TeachLauncher::TeachLauncher(MainWindow &window, Operator &op) : m_window(window), m_op(op)
{
    connect(&m_window, &MainWindow::pointRequested, this, &TeachLauncher::onPointRequested);
    connect(&m_window, &MainWindow::closing, this, [this] {
        if (m_dialog)
            m_dialog->close();
    });
}

TeachLauncher::~TeachLauncher()
{
    delete m_dialog;
}

void TeachLauncher::onPointRequested()
{
    if (m_dialog) {
        m_dialog->show();
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    TeachContext context{m_window.stationLink().link(),
                         m_window.table(),
                         m_window.editState(),
                         m_window.values(),
                         *m_window.ui().stepList,
                         m_op,
                         [this] { m_window.setEnabled(true); }};
    // A window of its own: the speed dialog disables the main window, and this one
    // must stay usable meanwhile.
    m_dialog = new TeachDialog(context);
    connect(m_dialog, &QDialog::finished, m_dialog, &QObject::deleteLater);
    m_dialog->show();
    m_dialog->start();
}

} // namespace talvex

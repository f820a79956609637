#include "app/teachlauncher.h"

#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/steplistview.h"
#include "teach/teachdialog.h"

namespace talvex {

TeachLauncher::TeachLauncher(MainWindow &window) : m_window(window)
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
    StationLink &station = m_window.stationLink();
    const auto enableMainWindow = [this] { m_window.setEnabled(true); };
    const TeachContext context{station.session(), station.polls(),         m_window.document(), m_window.editState(),
                               m_window.values(), *m_window.ui().stepList, station.op(),        enableMainWindow};
    // A window of its own: the speed dialog disables the main window, and this one
    // must stay usable meanwhile.
    m_dialog = new TeachDialog(context);
    connect(m_dialog, &QDialog::finished, m_dialog, &QObject::deleteLater);
    m_dialog->show();
    m_dialog->start();
}

} // namespace talvex

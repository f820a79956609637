#include "app/previewlauncher.h"

#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "preview/pathpreviewwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace talvex {

PreviewLauncher::PreviewLauncher(MainWindow &window) : m_window(window)
{
    const MainWindowUi &ui = m_window.ui();
    connect(ui.pathPreviewAction, &QAction::triggered, this, &PreviewLauncher::showPreview);
    connect(&m_window.document(), &ProgramDocument::changed, this, [this] {
        if (m_preview)
            m_preview->refresh();
    });
    connect(&m_window, &MainWindow::rowChosen, this, [this](int row) {
        if (m_preview)
            m_preview->setHighlightedRow(row);
    });
    connect(ui.repeatBox, &QCheckBox::stateChanged, this, &PreviewLauncher::updateOptions);
    connect(ui.setAccelerationBox, &QCheckBox::stateChanged, this, &PreviewLauncher::updateOptions);
    connect(ui.accelerationText, &QLineEdit::textChanged, this, &PreviewLauncher::updateOptions);
    connect(ui.internalAcceleration, &QLineEdit::textChanged, this, &PreviewLauncher::updateOptions);
    connect(&m_window, &MainWindow::closing, this, [this] {
        if (m_preview)
            m_preview->close();
    });
}

PreviewLauncher::~PreviewLauncher()
{
    // A window of its own beside the main window, not one of its children.
    delete m_preview;
}

void PreviewLauncher::showPreview()
{
    if (!m_preview) {
        m_preview = new PathPreviewWindow(m_window.document(), m_window.op());
        m_preview->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_preview, &PathPreviewWindow::rowClicked, &m_window, &MainWindow::chooseRow);
        updateOptions();
        m_preview->setHighlightedRow(m_window.editState().CurrentRow);
        m_preview->resize(640, 560);
        // Once it is shown and mapped: window managers place a new window
        // themselves, over any position asked for before.
        QTimer::singleShot(0, m_preview, [this] { placeBesideMainWindow(); });
    }
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
}

void PreviewLauncher::placeBesideMainWindow()
{
    // Beside the main window, whose fixed layout stays as it is, where the screen has
    // room for it; otherwise where the window system put it.
    const QRect main = m_window.frameGeometry();
    const QScreen *screen = m_window.screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    const QRect beside(QPoint(main.right() + 8, std::max(main.top(), room.top())), m_preview->frameGeometry().size());
    if (room.contains(beside))
        m_preview->move(beside.topLeft());
}

void PreviewLauncher::updateOptions()
{
    if (!m_preview)
        return;
    const MotionOptions options{m_window.compileOptions(), m_window.ui().internalAcceleration->text()};
    m_preview->setOptions(options);
}

} // namespace talvex

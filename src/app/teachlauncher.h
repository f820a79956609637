#pragma once

#include <QObject>
#include <QPointer>

#include "teach/teachdialog.h"

namespace talvex {

class MainWindow;

/// Opens the teach dialog for the main window's Point button: a new dialog for each
/// request, or the open one brought forward.
class TeachLauncher : public QObject
{
    Q_OBJECT

public:
    /// The dialogs talk to the operator through the main window's link, which holds
    /// the polls while a box is up.
    explicit TeachLauncher(MainWindow &window);
    ~TeachLauncher() override;

    TeachDialog *dialog() const { return m_dialog; }

private:
    void onPointRequested();

    MainWindow &m_window;
    QPointer<TeachDialog> m_dialog;
};

} // namespace talvex

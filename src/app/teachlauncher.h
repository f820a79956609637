#pragma once

#include <QObject>
#include <QPointer>

#include "teach/teachdialog.h"

namespace talvex {

class MainWindow;
class Operator;

/// Opens the teach dialog for the main window's Point button: a new dialog for each
/// request, or the open one brought forward.
class TeachLauncher : public QObject
{
    Q_OBJECT

public:
    TeachLauncher(MainWindow &window, Operator &op);
    ~TeachLauncher() override;

    TeachDialog *dialog() const { return m_dialog; }

private:
    void onPointRequested();

    MainWindow &m_window;
    Operator &m_op;
    QPointer<TeachDialog> m_dialog;
};

} // namespace talvex

#pragma once

#include <QObject>
#include <QPointer>

#include "preview/pathpreviewwindow.h"

namespace talvex {

class MainWindow;

/// Opens the path preview "路徑預覽" from the menu "檢視(&V)" and keeps it in step
/// with the main window: every change of the table (undo and redo included) and of
/// the options the path depends on redraws it, the row chosen in the list is
/// highlighted in it, and a click on a point chooses that row in the list.
class PreviewLauncher : public QObject
{
    Q_OBJECT

public:
    explicit PreviewLauncher(MainWindow &window);
    ~PreviewLauncher() override;

    PathPreviewWindow *preview() const { return m_preview; }

private:
    void showPreview();
    void placeBesideMainWindow();
    void updateOptions();

    MainWindow &m_window;
    QPointer<PathPreviewWindow> m_preview;
};

} // namespace talvex

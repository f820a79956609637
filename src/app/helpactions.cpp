#include "app/helpactions.h"

#include "core/operator.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"

#include <QAction>
#include <QTextBrowser>
#include <QUrl>

namespace talvex {

HelpActions::HelpActions(MainWindow &window) : m_window(window)
{
    const MainWindowUi &ui = m_window.ui();
    connect(ui.manualAction, &QAction::triggered, this, &HelpActions::showManual);
    connect(ui.aboutAction, &QAction::triggered, this, [this] {
        m_window.op().notice(aboutText(), QStringLiteral("關於 TALVEX Station"), Operator::Icon::Information);
    });
    connect(&m_window, &MainWindow::closing, this, [this] {
        if (m_manual)
            m_manual->close();
    });
}

HelpActions::~HelpActions()
{
    // A window of its own, beside the main window.
    delete m_manual;
}

QString HelpActions::aboutText()
{
    return QStringLiteral("TALVEX Station %1\nTALVEX X/Y 運動控制器的程式編寫與教導站台。\n\n"
                          "以 MIT 授權發行 (見 LICENSE)。\n使用 Qt %2 (LGPL 授權)。")
        .arg(QStringLiteral(TALVEX_VERSION), QString::fromLatin1(qVersion()));
}

void HelpActions::showManual()
{
    if (!m_manual) {
        m_manual = new QTextBrowser;
        m_manual->setObjectName(QStringLiteral("manual"));
        m_manual->setAttribute(Qt::WA_DeleteOnClose);
        m_manual->setWindowTitle(QStringLiteral("TALVEX Station 使用說明"));
        m_manual->setSource(QUrl(QStringLiteral("qrc:/help/manual.html")));
        m_manual->resize(720, 640);
    }
    m_manual->show();
    m_manual->raise();
    m_manual->activateWindow();
}

} // namespace talvex

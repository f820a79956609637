#include "app/recentfiles.h"

#include "core/operator.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace talvex {

namespace {

const QString kKey = QStringLiteral("recentFiles");

} // namespace

RecentFiles::RecentFiles(MainWindow &window, QSettings &settings) : m_window(window), m_settings(settings)
{
    for (const QString &path : m_settings.value(kKey).toStringList()) {
        if (!path.isEmpty() && !m_files.contains(path) && m_files.size() < kKept)
            m_files << path;
    }
    connect(&m_window, &MainWindow::programFileUsed, this, &RecentFiles::use);
    showMenu();
}

void RecentFiles::use(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(absolute);
    m_files.prepend(absolute);
    while (m_files.size() > kKept)
        m_files.removeLast();
    store();
}

void RecentFiles::open(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        m_files.removeAll(path);
        store();
        m_window.op().notice(QStringLiteral("找不到檔案 %1 , 已從最近開啟的檔案中移除!").arg(path), messageTitle(),
                             Operator::Icon::Warning);
        return;
    }
    m_window.openProgramFile(path);
}

void RecentFiles::store()
{
    m_settings.setValue(kKey, m_files);
    showMenu();
}

void RecentFiles::showMenu()
{
    QMenu *menu = m_window.ui().recentMenu;
    menu->clear();
    for (int i = 0; i < m_files.size(); ++i) {
        const QString path = m_files.at(i);
        QAction *entry = menu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(QFileInfo(path).fileName())));
        entry->setToolTip(QDir::toNativeSeparators(path));
        entry->setStatusTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] { open(path); });
    }
    if (m_files.isEmpty())
        menu->addAction(QStringLiteral("(無)"))->setEnabled(false);
}

} // namespace talvex

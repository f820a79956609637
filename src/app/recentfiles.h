#pragma once

#include <QObject>
#include <QStringList>

class QSettings;

namespace talvex {

class MainWindow;

/// "檔案" → "最近開啟的檔案": the last eight program files opened or saved, kept in the
/// per-user settings. Choosing one opens it (asking first about unsaved work); one
/// that is gone is taken off the list, and the operator is told.
class RecentFiles : public QObject
{
    Q_OBJECT

public:
    static constexpr int kKept = 8;

    RecentFiles(MainWindow &window, QSettings &settings);

    const QStringList &files() const { return m_files; }
    /// @p path was opened or saved: it goes to the top of the list.
    void use(const QString &path);
    /// The entry of @p path was chosen.
    void open(const QString &path);

private:
    void store();
    void showMenu();

    MainWindow &m_window;
    QSettings &m_settings;
    QStringList m_files;
};

} // namespace talvex

#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>

#include <memory>

namespace talvex {

/// The files QSettings reads for the application's settings, by its organisation and
/// application names: the user's own first, then the machine's. None on Windows, where
/// QSettings keeps them in the registry.
QStringList userSettingsFiles();

/// Why the station's settings cannot be read: one of userSettingsFiles() is there but
/// is no regular file. Reading a named pipe would hold the start-up until something
/// wrote to it; a device or a folder holds no settings. A link to a regular file is
/// fine. The empty text when they can be read.
QString whyUserSettingsUnreadable();

/// The station's per-user settings (the device chosen for each port). Settings that
/// cannot be read are never opened: the station starts with the defaults, kept for
/// this run only in a file of its own, and says why once on standard error; problem()
/// keeps the reason for the window.
class UserSettings
{
public:
    UserSettings();

    QSettings &settings() { return *m_settings; }
    /// Why the stored settings were not read, or the empty text.
    QString problem() const { return m_problem; }

private:
    QString m_problem;
    QTemporaryFile m_standIn;
    std::unique_ptr<QSettings> m_settings;
};

} // namespace talvex

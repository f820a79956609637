#include "app/usersettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace talvex {

QStringList userSettingsFiles()
{
    const QString organisation = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    QStringList folders{QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)};
    folders += QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    folders.removeDuplicates();
    QStringList files;
    for (const QString &folder : std::as_const(folders)) {
        const QDir dir(folder);
        files << dir.filePath(organisation + QLatin1Char('/') + application + QStringLiteral(".conf"))
              << dir.filePath(organisation + QStringLiteral(".conf"));
    }
    return files;
}

} // namespace talvex

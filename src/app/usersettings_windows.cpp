#include "app/usersettings.h"

namespace talvex {

QStringList userSettingsFiles()
{
    // QSettings keeps them in the registry (HKEY_CURRENT_USER\Software\TALVEX), where no
    // named pipe, device or folder can stand in their place.
    return {};
}

} // namespace talvex

// Feeds arbitrary bytes to the settings-file reader as the start of "DATA.TXT". What it
// returns is shown in the status bar and read as a port number, so it must stay one
// short line whatever the file holds: at most 256 characters, no CR or LF.
#include "files/settingsfile.h"

#include <cstdlib>

using namespace talvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray head(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString port = parsePortSetting(head);
    if (port.size() > 256)
        std::abort();
    if (port.contains(QLatin1Char('\r')) || port.contains(QLatin1Char('\n')))
        std::abort();
    // readPortSetting reads only the first 258 bytes of the file; the answer must not
    // depend on what follows them.
    if (parsePortSetting(head.left(258)) != port)
        std::abort();
    return 0;
}

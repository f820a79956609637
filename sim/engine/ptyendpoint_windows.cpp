#include "sim/engine/ptyendpoint.h"

// Windows has no pseudo-terminals: the endpoint opens no device and the line is
// served on the TCP port alone. Capture and the session work as everywhere.

namespace talvex::sim {

bool PtyEndpoint::available()
{
    return false;
}

PtyEndpoint::~PtyEndpoint() = default;

bool PtyEndpoint::open(QString *error)
{
    Q_UNUSED(error);
    m_open = true;
    return true;
}

bool PtyEndpoint::publishLink(const QString &path, QString *error)
{
    return checkLink(path, error);
}

void PtyEndpoint::removeLink() {}

qint64 PtyEndpoint::readLine(char *buffer, qint64 size)
{
    Q_UNUSED(buffer);
    Q_UNUSED(size);
    return 0;
}

qint64 PtyEndpoint::writeLine(const char *bytes, qint64 size)
{
    // Nobody is at a device that does not exist: what the session sends there is gone,
    // and the TCP side has its own copy.
    Q_UNUSED(bytes);
    return size;
}

} // namespace talvex::sim

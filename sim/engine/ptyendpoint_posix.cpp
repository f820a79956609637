#include "sim/engine/ptyendpoint.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

// The line on a pseudo-terminal: what the station opens is the slave device.

namespace talvex::sim {

namespace {

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

bool PtyEndpoint::available()
{
    return true;
}

PtyEndpoint::~PtyEndpoint()
{
    removeLink();
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
}

bool PtyEndpoint::open(QString *error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    char name[128] = {};
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 || ::ptsname_r(m_master, name, sizeof name) != 0) {
        *error = systemError("ptsname");
        return false;
    }
    m_path = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        *error = systemError("open slave");
        return false;
    }
    // No echo, no line editing, no CR/LF translation: bytes pass as they are, as on
    // a serial line. The station sets the same when it opens its end.
    termios raw{};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B9600);
    ::cfsetospeed(&raw, B9600);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        readSome(kReadChunk);
        flush();
    });
    m_notifier->setEnabled(!m_pace.paced());
    m_open = true;
    return true;
}

bool PtyEndpoint::publishLink(const QString &path, QString *error)
{
    // symlink() never replaces what is there, a link to nothing included: a link
    // left by another simulator may be in use, and the one we remove at exit must
    // be our own.
    if (::symlink(QFile::encodeName(m_path).constData(), QFile::encodeName(path).constData()) != 0) {
        *error = errno == EEXIST
                     ? QStringLiteral("--link %1: something exists there already; not replacing it").arg(path)
                     : QStringLiteral("--link %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_link = path;
    return true;
}

void PtyEndpoint::removeLink()
{
    if (m_link.isEmpty())
        return;
    // Only our own link: another simulator may have taken the name over since.
    if (QFileInfo(m_link).symLinkTarget() == QFileInfo(m_path).absoluteFilePath())
        ::unlink(QFile::encodeName(m_link).constData());
    m_link.clear();
}

qint64 PtyEndpoint::readLine(char *buffer, qint64 size)
{
    return ::read(m_master, buffer, static_cast<size_t>(size));
}

qint64 PtyEndpoint::writeLine(const char *bytes, qint64 size)
{
    return ::write(m_master, bytes, static_cast<size_t>(size));
}

} // namespace talvex::sim

#include "testing/specialfiles.h"

#include <QFile>

#include <algorithm>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace talvex::testing {

namespace {

bool makeSocket(const QByteArray &name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::copy(name.begin(), name.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    // The socket's name stays in the folder after its descriptor is closed.
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

} // namespace

bool canMakeSpecialFile(SpecialFile kind)
{
    return kind != SpecialFile::Device || ::geteuid() == 0;
}

const char *whyNoSpecialFile(SpecialFile kind)
{
    return canMakeSpecialFile(kind) ? "" : "a device node needs root";
}

bool makeSpecialFile(SpecialFile kind, const QString &path, const QString &target)
{
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
    case SpecialFile::NamedPipe:
        return ::mkfifo(name.constData(), 0600) == 0;
    case SpecialFile::Socket:
        return makeSocket(name);
    case SpecialFile::Device:
        return canMakeSpecialFile(kind) && ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    case SpecialFile::SymbolicLink:
        return QFile::link(target, path);
    }
    return false;
}

bool readPermissionHolds()
{
    return ::geteuid() != 0;
}

} // namespace talvex::testing

#include "testing/filekinds.h"

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

bool canMakeFileKind(FileKind kind)
{
    return kind != FileKind::Device || ::geteuid() == 0;
}

const char *whyNoFileKind(FileKind kind)
{
    return canMakeFileKind(kind) ? "" : "a device node needs root";
}

bool makeFileKind(FileKind kind, const QString &path, const QString &target)
{
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
    case FileKind::NamedPipe:
        return ::mkfifo(name.constData(), 0600) == 0;
    case FileKind::Socket:
        return makeSocket(name);
    case FileKind::Device:
        return canMakeFileKind(kind) && ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    case FileKind::SymbolicLink:
        return QFile::link(target, path);
    }
    return false;
}

bool readPermissionHolds()
{
    return ::geteuid() != 0;
}

} // namespace talvex::testing

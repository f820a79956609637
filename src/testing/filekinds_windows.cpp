#include "testing/filekinds.h"

namespace talvex::testing {

bool canMakeFileKind(FileKind)
{
    return false;
}

const char *whyNoFileKind(FileKind kind)
{
    switch (kind) {
    case FileKind::NamedPipe:
        return "Windows keeps named pipes out of the file system";
    case FileKind::Socket:
        return "no socket files are made on Windows";
    case FileKind::Device:
        return "Windows has no device nodes in the file system";
    case FileKind::SymbolicLink:
        return "QFile::link makes a shortcut on Windows, no symbolic link";
    }
    return "not on Windows";
}

bool makeFileKind(FileKind, const QString &, const QString &)
{
    return false;
}

bool readPermissionHolds()
{
    return false;
}

} // namespace talvex::testing

#include "testing/specialfiles.h"

namespace talvex::testing {

bool canMakeSpecialFile(SpecialFile)
{
    return false;
}

const char *whyNoSpecialFile(SpecialFile kind)
{
    switch (kind) {
    case SpecialFile::NamedPipe:
        return "Windows keeps named pipes out of the file system";
    case SpecialFile::Socket:
        return "no socket files are made on Windows";
    case SpecialFile::Device:
        return "Windows has no device nodes in the file system";
    case SpecialFile::SymbolicLink:
        return "QFile::link makes a shortcut on Windows, no symbolic link";
    }
    return "not on Windows";
}

bool makeSpecialFile(SpecialFile, const QString &, const QString &)
{
    return false;
}

bool readPermissionHolds()
{
    return false;
}

} // namespace talvex::testing

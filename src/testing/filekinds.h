#pragma once

// Things in a file's place that are no regular file, for the tests of what the station
// refuses to read or write. Each is made at a path the test gives, inside its own
// temporary folder. A kind this system (or this run) cannot have is reported as such,
// with the reason, so that the test can skip that row: Windows has no named pipes,
// sockets or devices in its file system, and QFile::link makes shortcuts there, which
// are regular files, instead of links.

#include <QString>

namespace talvex::testing {

enum class FileKind
{
    NamedPipe,
    Socket,
    Device,       ///< a character device with the null device's numbers; root only
    SymbolicLink, ///< a real link, followed by QFileInfo and by open()
};

/// Whether makeFileKind() can make @p kind in this run.
bool canMakeFileKind(FileKind kind);

/// Why @p kind cannot be made in this run (for QSKIP); empty when it can.
const char *whyNoFileKind(FileKind kind);

/// Makes @p kind at @p path; a link leads to @p target. False when it could not be
/// made (also when canMakeFileKind() says it cannot).
bool makeFileKind(FileKind kind, const QString &path, const QString &target = {});

/// Whether taking a file's read permission away keeps this run from reading it: not
/// for root, and not on Windows, where a file's permissions are only its read-only
/// attribute.
bool readPermissionHolds();

} // namespace talvex::testing

#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace talvex {

/// How a whole file is put in place.
enum class FileSync
{
    /// Flushed to the disk before it replaces the old file: a power cut leaves the old
    /// contents or the new, never an empty file. For the operator's own files.
    ToDisk,
    /// Replaced without waiting for the disk: for a file written again on every
    /// upload, where the wait would cost more than the file is worth.
    Skip,
};

/// The reason a write to @p path is refused: 「%1 不是一般檔案, 無法寫入!」.
QString notRegularFileText(const QString &path);

/// Whether a whole-file write may go to @p path: nothing there yet, a regular file,
/// or a link that leads to one. A folder, a named pipe, a socket or a device is not
/// replaced by a file (and a pipe is never opened, so nothing waits for a reader).
bool isWritableTarget(const QString &path);

/// Writes @p bytes as the whole contents of @p path. They go to a new file of a name
/// nobody can have planted in the same folder, which then takes the old file's place
/// in one step: a failure leaves the old file as it was. A link keeps being a link;
/// the file it leads to gets the bytes. Returns false with a reason fit to show after
/// a notice such as 「無法寫入檔案 %1 !」 in @p error.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                    FileSync sync = FileSync::ToDisk, QIODevice::OpenMode mode = QIODevice::NotOpen);

} // namespace talvex

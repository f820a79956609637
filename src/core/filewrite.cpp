#include "core/filewrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace talvex {

namespace {

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

bool writeSynced(const QString &path, const QByteArray &bytes, QString *error, QIODevice::OpenMode mode)
{
    // QSaveFile follows a link to the file it leads to and replaces that file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | mode))
        return fail(error, file.errorString());
    file.write(bytes);
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

#if !defined(Q_OS_WIN)
/// The file a chain of links leads to, or @p path itself; a chain that never ends
/// (a loop) is left to fail on its own.
QString linkedFile(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 64 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

bool writeUnsynced(const QString &path, const QByteArray &bytes, QString *error, QIODevice::OpenMode mode)
{
    const QString target = linkedFile(path);
    // Created exclusively under a random name beside the target, so no link planted
    // in the folder can lead the bytes elsewhere.
    QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return fail(error, file.errorString());
    if (mode.testFlag(QIODevice::Text))
        file.setTextModeEnabled(true);
    const QFileInfo old(target);
    const QFileDevice::Permissions permissions = old.exists() ? old.permissions()
                                                              : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                    QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.setPermissions(permissions))
        return fail(error, file.errorString());
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return fail(error, QString::fromLocal8Bit(std::strerror(errno)));
    file.setAutoRemove(false); // it has become the target
    return true;
}
#endif

} // namespace

QString notRegularFileText(const QString &path)
{
    return QStringLiteral("%1 不是一般檔案, 無法寫入!").arg(path);
}

bool isWritableTarget(const QString &path)
{
    // QFileInfo follows links; a link to nothing is a new file at its end.
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error, FileSync sync,
                    QIODevice::OpenMode mode)
{
    if (!isWritableTarget(path))
        return fail(error, notRegularFileText(path));
#if defined(Q_OS_WIN)
    Q_UNUSED(sync);
    return writeSynced(path, bytes, error, mode);
#else
    return sync == FileSync::ToDisk ? writeSynced(path, bytes, error, mode) : writeUnsynced(path, bytes, error, mode);
#endif
}

} // namespace talvex

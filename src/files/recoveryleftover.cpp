#include "files/recoveryleftover.h"

#include "files/programfile.h"
#include "files/recoveryfile.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

namespace talvex {

namespace {

/// Takes the lock of the station named @p base when that station is gone; nullptr
/// while it runs.
std::unique_ptr<QLockFile> lockOfGoneStation(const QDir &dir, const QString &base)
{
    auto lock = std::make_unique<QLockFile>(dir.filePath(base + RecoveryFile::lockSuffix()));
    // A lock counts as left behind only when the process that took it is gone; a
    // station that has run for days keeps its lock however old the file is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

QString baseName(const QString &fileName, const QString &suffix)
{
    return fileName.left(fileName.size() - suffix.size());
}

} // namespace

RecoveryLeftOver::RecoveryLeftOver(const QString &path, std::unique_ptr<QLockFile> lock)
    : m_path(path), m_lock(std::move(lock))
{
}

RecoveryLeftOver::RecoveryLeftOver(RecoveryLeftOver &&) noexcept = default;
RecoveryLeftOver &RecoveryLeftOver::operator=(RecoveryLeftOver &&) noexcept = default;
RecoveryLeftOver::~RecoveryLeftOver() = default;

std::vector<RecoveryLeftOver> RecoveryLeftOver::find(const QString &folder)
{
    const QDir dir(folder);
    const QString fileSuffix = RecoveryFile::fileSuffix();
    const QString lockSuffix = RecoveryFile::lockSuffix();
    const QStringList files = dir.entryList({QLatin1Char('*') + fileSuffix}, QDir::Files, QDir::Time);
    std::vector<RecoveryLeftOver> found;
    for (const QString &file : files) {
        std::unique_ptr<QLockFile> lock = lockOfGoneStation(dir, baseName(file, fileSuffix));
        if (lock)
            found.push_back(RecoveryLeftOver(dir.filePath(file), std::move(lock)));
    }
    for (const QString &lockFile : dir.entryList({QLatin1Char('*') + lockSuffix}, QDir::Files)) {
        const QString base = baseName(lockFile, lockSuffix);
        if (!files.contains(base + fileSuffix))
            lockOfGoneStation(dir, base); // taken and let go: removed
    }
    return found;
}

std::optional<RecoveredProgram> RecoveryLeftOver::read(bool *unreadable) const
{
    QFile file(m_path);
    const bool opened = file.open(QIODevice::ReadOnly);
    const QByteArray bytes = opened ? file.read(kMaxProgramFileBytes + 1) : QByteArray();
    if (unreadable)
        *unreadable = !opened || file.error() != QFileDevice::NoError;
    if (!opened || file.error() != QFileDevice::NoError || bytes.size() > kMaxProgramFileBytes)
        return std::nullopt;
    return parseRecoveryFile(bytes);
}

void RecoveryLeftOver::remove()
{
    QFile::remove(m_path);
}

} // namespace talvex

#include "files/recoveryleftover.h"

#include "files/programfile.h"
#include "files/recoveryfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

namespace talvex {

namespace {

/// A lock being written holds nothing for a moment; one that still says nothing after
/// this long was never finished (a crash, a full disk).
constexpr qint64 kUnfinishedLockMs = 10000;
/// Far more than a lock holds; a larger file is no lock QLockFile wrote.
constexpr qint64 kMaxLockBytes = 4096;

/// QLockFile takes a lock as left behind only when the process it names on this machine
/// is gone. A lock that names no process, or a process of another machine, it keeps
/// for ever, and the recovery file beside it would be neither offered nor cleaned up.
/// Such a lock is removed here, under QLockFile's own guard against two stations
/// removing locks at once.
void removeLockOfNobodyHere(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return;
    QLockFile probe(path);
    qint64 pid = 0;
    QString host;
    QString app;
    bool ofNobodyHere = info.size() > kMaxLockBytes || !probe.getLockInfo(&pid, &host, &app);
    if (ofNobodyHere) {
        const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
        if (info.exists() && age >= 0 && age < kUnfinishedLockMs)
            return;
    } else {
        // The lines after the host name are the machine's and the boot's ids; the
        // machine id wins over the host name, as it does for QLockFile.
        QFile file(path);
        const QList<QByteArray> lines =
            file.open(QIODevice::ReadOnly) ? file.read(kMaxLockBytes).split('\n') : QList<QByteArray>();
        const QByteArray machine = lines.value(3);
        ofNobodyHere = machine.isEmpty() ? !host.isEmpty() && host != QSysInfo::machineHostName()
                                         : machine != QSysInfo::machineUniqueId();
    }
    if (!ofNobodyHere)
        return;
    QLockFile guard(path + QStringLiteral(".rmlock"));
    if (guard.tryLock(0))
        QFile::remove(path);
}

/// Takes the lock of the station named @p base when that station is gone; nullptr
/// while it runs, or when the lock is no regular file (reading a named pipe would wait
/// for a writer): such a lock is left as it is.
std::unique_ptr<QLockFile> lockOfGoneStation(const QDir &dir, const QString &base)
{
    const QString path = dir.filePath(base + RecoveryFile::lockSuffix());
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return nullptr;
    removeLockOfNobodyHere(path);
    auto lock = std::make_unique<QLockFile>(path);
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
        // QDir lists a link by its name: what it leads to is looked at (never opened).
        if (!QFileInfo(dir.filePath(file)).isFile())
            continue;
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
    ReadProblem problem = ReadProblem::None;
    std::optional<RecoveredProgram> program = read(&problem);
    if (unreadable)
        *unreadable = problem != ReadProblem::None;
    return program;
}

std::optional<RecoveredProgram> RecoveryLeftOver::read(ReadProblem *problem) const
{
    ReadProblem ignored = ReadProblem::None;
    if (!problem)
        problem = &ignored;
    *problem = ReadProblem::None;
    // Looked at before it is opened: a named pipe put in its place since the folder
    // was listed would hold the start-up.
    const QFileInfo info(m_path);
    if (!info.isFile()) {
        *problem = ReadProblem::Unreadable;
        return std::nullopt;
    }
    if (info.size() > kMaxProgramFileBytes) {
        *problem = ReadProblem::TooLarge;
        return std::nullopt;
    }
    QFile file(m_path);
    const bool opened = file.open(QIODevice::ReadOnly);
    const QByteArray bytes = opened ? file.read(kMaxProgramFileBytes + 1) : QByteArray();
    if (!opened || file.error() != QFileDevice::NoError) {
        *problem = ReadProblem::Unreadable;
        return std::nullopt;
    }
    if (bytes.size() > kMaxProgramFileBytes) { // grew since it was looked at
        *problem = ReadProblem::TooLarge;
        return std::nullopt;
    }
    return parseRecoveryFile(bytes);
}

void RecoveryLeftOver::remove()
{
    if (QFileInfo(m_path).size() > kMaxProgramFileBytes)
        return;
    QFile::remove(m_path);
}

QString RecoveryLeftOver::tooLargeNotice(const QString &path)
{
    return QStringLiteral("未存檔程式的備份 %1 太大 (超過 %2 MB), 無法還原, 已保留該檔案。")
        .arg(path)
        .arg(kMaxProgramFileBytes / (qint64{1024} * 1024));
}

} // namespace talvex

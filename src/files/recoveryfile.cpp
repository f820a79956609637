#include "files/recoveryfile.h"

#include "core/filewrite.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

namespace talvex {

QString RecoveryFile::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery");
}

RecoveryFile::RecoveryFile(const QString &folder, QObject *parent) : QObject(parent), m_folder(folder)
{
    // The process and the moment it started make a name no other station uses, even
    // one that gets the process number of a station that crashed long ago.
    m_name = QStringLiteral("station-%1-%2")
                 .arg(QCoreApplication::applicationPid())
                 .arg(QDateTime::currentMSecsSinceEpoch());
    m_timer.setSingleShot(true);
    m_timer.setInterval(kWriteDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryFile::writeNow);
}

RecoveryFile::~RecoveryFile() = default;

bool RecoveryFile::open()
{
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("cannot make the folder %1").arg(m_folder);
        m_failed = true;
        return false;
    }
    auto lock = std::make_unique<QLockFile>(m_folder + QLatin1Char('/') + m_name + lockSuffix());
    // The lock lives as long as the station: only a dead owner makes it stale, never
    // its age.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        m_error = QStringLiteral("cannot lock %1").arg(m_folder + QLatin1Char('/') + m_name + lockSuffix());
        m_failed = true;
        return false;
    }
    m_lock = std::move(lock);
    return true;
}

QString RecoveryFile::unwritableNotice(const QString &folder)
{
    return QStringLiteral("無法在 %1 建立未存檔程式的備份, 未存檔的工作不會被保留!").arg(folder);
}

bool RecoveryFile::isOpen() const
{
    return m_lock != nullptr;
}

QString RecoveryFile::path() const
{
    return m_folder + QLatin1Char('/') + m_name + fileSuffix();
}

void RecoveryFile::markChanged()
{
    // Not restarted by later changes: the first change of a burst sets when it is
    // written, so no change waits longer than the delay.
    if (isOpen() && !m_timer.isActive())
        m_timer.start();
}

bool RecoveryFile::writeNow()
{
    m_timer.stop();
    if (!isOpen() || !contents)
        return false;
    if (!writeWholeFile(path(), recoveryFileBytes(contents()), &m_error)) {
        m_failed = true;
        return false;
    }
    m_failed = false;
    ++m_writes;
    return true;
}

void RecoveryFile::discard()
{
    m_timer.stop();
    if (isOpen())
        QFile::remove(path());
}

} // namespace talvex

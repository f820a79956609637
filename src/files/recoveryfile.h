#pragma once

#include "files/recoveryformat.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class QLockFile;

namespace talvex {

/// This station's recovery file: the program as it stands, written a moment after each
/// change, so that a station that ends without quitting (a crash, a power cut) leaves
/// its unsaved work behind for the next start. Each running station has a file of its
/// own, named after it, and holds a lock beside it for as long as it runs; a file whose
/// lock nobody holds is a left-over (RecoveryLeftOver).
class RecoveryFile : public QObject
{
    Q_OBJECT

public:
    /// A change is on disk at most this long after it is made; the changes that come
    /// meanwhile go with the same write, so a burst of changes costs a write or two.
    static constexpr int kWriteDelayMs = 500;

    /// "recovery" in the user's application data folder.
    static QString defaultFolder();
    static QString fileSuffix() { return QStringLiteral(".tvx"); }
    static QString lockSuffix() { return QStringLiteral(".lock"); }

    explicit RecoveryFile(const QString &folder = defaultFolder(), QObject *parent = nullptr);
    /// Lets go of the lock. The file stays: only discard() removes it.
    ~RecoveryFile() override;

    /// Makes the folder and takes this station's lock. When that fails (errorString()
    /// says why) nothing is ever written.
    bool open();
    bool isOpen() const;
    QString path() const;
    QString folder() const { return m_folder; }
    QString errorString() const { return m_error; }
    /// What the operator is told when the folder cannot take a recovery file: unsaved
    /// work will not survive a crash.
    static QString unwritableNotice(const QString &folder);
    /// unwritableNotice() of this file's folder once open() or a write has failed;
    /// the empty text while all is well.
    QString failureNotice() const { return m_failed ? unwritableNotice(m_folder) : QString(); }

    /// What a write takes. Asked when the write is due, not when the change is made.
    std::function<RecoveredProgram()> contents;

    /// The program changed: write it within kWriteDelayMs.
    void markChanged();
    bool writePending() const { return m_timer.isActive(); }
    /// Writes at once, replacing the file as a whole (a crash in the middle of a write
    /// leaves the previous file). False when it could not be written.
    bool writeNow();
    /// Nothing left to recover: a pending write is dropped and the file removed.
    void discard();
    /// Writes done so far.
    int writeCount() const { return m_writes; }

private:
    QString m_folder;
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QTimer m_timer;
    int m_writes = 0;
    QString m_error;
    bool m_failed = false;
};

} // namespace talvex

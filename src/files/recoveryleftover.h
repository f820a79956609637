#pragma once

#include "files/recoveryformat.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QLockFile;

namespace talvex {

/// A recovery file left by a station that ended without removing it: nobody holds its
/// lock. While this object lives it holds that lock itself, so a station starting at
/// the same moment does not offer the same program too.
class RecoveryLeftOver
{
public:
    /// The left-overs in @p folder, the most recently written first. The files of
    /// stations that still run are not among them, nor anything that is no regular file
    /// (a link to a named pipe, say, whose reading would wait for a writer). Locks of
    /// stations that are gone and left no file are removed on the way. A lock that
    /// names no process (empty or damaged) or names one of another machine is taken as
    /// left behind, once it is old enough not to be one being written.
    static std::vector<RecoveryLeftOver> find(const QString &folder);

    RecoveryLeftOver(RecoveryLeftOver &&) noexcept;
    RecoveryLeftOver &operator=(RecoveryLeftOver &&) noexcept;
    /// Lets go of the lock, which removes it.
    ~RecoveryLeftOver();

    /// Why read() gave no program although the file may hold one.
    enum class ReadProblem
    {
        None,       ///< read: a program, or a file with no step in it
        Unreadable, ///< could not be read now
        TooLarge    ///< larger than any program file, so never read
    };

    QString path() const { return m_path; }
    /// The program it holds; nothing when it holds no step or cannot be read, and
    /// then @p unreadable (when given) tells the two apart. A file too large to read
    /// counts as one that cannot be read: it may be the only copy of a program.
    std::optional<RecoveredProgram> read(bool *unreadable = nullptr) const;
    /// The same, telling a file too large to read from one that could not be read.
    std::optional<RecoveredProgram> read(ReadProblem *problem) const;
    /// Removes the file, unless it is too large to read: that one is never taken as
    /// having nothing in it, and stays for whoever looks into the folder.
    void remove();

    /// What the operator is told of the left-over @p path that is too large to restore.
    static QString tooLargeNotice(const QString &path);

private:
    RecoveryLeftOver(const QString &path, std::unique_ptr<QLockFile> lock);

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace talvex

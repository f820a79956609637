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
    /// stations that still run are not among them. Locks of stations that are gone and
    /// left no file are removed on the way.
    static std::vector<RecoveryLeftOver> find(const QString &folder);

    RecoveryLeftOver(RecoveryLeftOver &&) noexcept;
    RecoveryLeftOver &operator=(RecoveryLeftOver &&) noexcept;
    /// Lets go of the lock, which removes it.
    ~RecoveryLeftOver();

    QString path() const { return m_path; }
    /// The program it holds; nothing when it holds no step or cannot be read, and
    /// then @p unreadable (when given) tells the two apart.
    std::optional<RecoveredProgram> read(bool *unreadable = nullptr) const;
    /// Removes the file.
    void remove();

private:
    RecoveryLeftOver(const QString &path, std::unique_ptr<QLockFile> lock);

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace talvex

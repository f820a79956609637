#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace talvex::sim {

/// The controller's program memory ("SAVE P"): a file that keeps the downloaded
/// lines, byte for byte, each ended by CR LF, so the program survives a restart.
///
/// The file is either a regular file or a new name in an existing folder. Only the
/// default file may create its own folder: a folder the user named is never made.
class ProgramStore
{
public:
    explicit ProgramStore(const QString &path = defaultPath());

    const QString &path() const { return m_path; }
    /// Whether "SAVE P" can keep the program at the path: false with the reason when
    /// the path names something other than a regular file, its folder is missing, or
    /// nothing can be written there. Checked at start, before anything is loaded.
    bool check(QString *error) const;
    /// Reads the stored program. False when there is none (@p error stays empty) or
    /// it cannot be read (@p error says why). A file that holds more than a download
    /// can carry is not read beyond that bound and counts as unreadable.
    bool load(QList<QByteArray> *lines, QString *error = nullptr) const;
    /// Replaces the stored program; false with the reason when it cannot be written.
    bool save(const QList<QByteArray> &lines, QString *error = nullptr) const;

    /// ~/.local/share/talvex-sim/program.txt (the user's data folder).
    static QString defaultPath();

private:
    QString m_path;
    /// The default path: its folder is ours to create.
    bool m_ownFolder = false;
};

} // namespace talvex::sim

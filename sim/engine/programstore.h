#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace talvex::sim {

/// The controller's program memory ("SAVE P"): a file that keeps the downloaded
/// lines, byte for byte, each ended by CR LF, so the program survives a restart.
class ProgramStore
{
public:
    explicit ProgramStore(const QString &path = defaultPath());

    const QString &path() const { return m_path; }
    /// Reads the stored program. False when there is none (@p error stays empty) or
    /// it cannot be read (@p error says why).
    bool load(QList<QByteArray> *lines, QString *error = nullptr) const;
    /// Replaces the stored program; false with the reason when it cannot be written.
    bool save(const QList<QByteArray> &lines, QString *error = nullptr) const;

    /// ~/.local/share/talvex-sim/program.txt (the user's data folder).
    static QString defaultPath();

private:
    QString m_path;
};

} // namespace talvex::sim

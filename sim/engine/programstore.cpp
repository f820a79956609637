#include "sim/engine/programstore.h"

#include "sim/engine/linereader.h"
#include "sim/engine/program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace talvex::sim {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Creates and removes a file in @p folder, as "SAVE P" will when it writes the
// program aside and renames it. Some folders take no new files whatever their
// permissions say (/proc, a read-only mount), and root passes every permission check.
bool folderTakesFiles(const QString &folder, QString *error)
{
    QTemporaryFile probe(folder + QStringLiteral("/.talvex-sim-XXXXXX"));
    if (!probe.open()) {
        setError(error, QStringLiteral("no file can be written in %1 (%2)").arg(folder, probe.errorString()));
        return false;
    }
    return true;
}

} // namespace

ProgramStore::ProgramStore(const QString &path) : m_path(path), m_ownFolder(!path.isEmpty() && path == defaultPath()) {}

QString ProgramStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/talvex-sim/program.txt");
}

bool ProgramStore::check(QString *error) const
{
    if (m_path.isEmpty()) {
        setError(error, QStringLiteral("no file named"));
        return false;
    }
    const QFileInfo info(m_path);
    if (info.exists()) {
        if (!info.isFile()) {
            setError(error, QStringLiteral("not a regular file"));
            return false;
        }
        // "SAVE P" replaces the file a link points to, so its folder is the one to try.
        // The folder first: one that takes no files (/proc, a read-only mount) is the
        // reason whoever starts the simulator, where a file's permission bits stop only
        // some users (root passes them).
        if (!folderTakesFiles(QFileInfo(info.canonicalFilePath()).absolutePath(), error))
            return false;
        if (!info.isReadable() || !info.isWritable()) {
            setError(error, QStringLiteral("cannot be both read and written"));
            return false;
        }
        return true;
    }
    if (info.isSymLink()) {
        setError(error, QStringLiteral("a symbolic link to nothing"));
        return false;
    }
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir()) {
        if (m_ownFolder)
            return true;
        setError(error, QStringLiteral("the folder %1 does not exist").arg(folder));
        return false;
    }
    return folderTakesFiles(folder, error);
}

bool ProgramStore::load(QList<QByteArray> *lines, QString *error) const
{
    lines->clear();
    if (m_path.isEmpty() || !QFileInfo::exists(m_path))
        return false;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return false;
    }
    // A line as long as the line reader keeps, with its CR LF, and one byte more
    // that shows it is longer. Nothing beyond what a download can carry is read, so
    // a wrong file costs no more memory than the largest program.
    constexpr qint64 kReadLimit = LineReader::kMaxLine + 3;
    while (!file.atEnd()) {
        if (lines->size() >= Program::kMaxLines) {
            setError(error, QStringLiteral("more than %1 lines, more than a download can carry, so no stored program")
                                .arg(Program::kMaxLines));
            lines->clear();
            return false;
        }
        QByteArray line = file.readLine(kReadLimit);
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() > LineReader::kMaxLine) {
            setError(error, QStringLiteral(
                                "line %1 is longer than %2 bytes, more than a download can carry, so no stored program")
                                .arg(lines->size() + 1)
                                .arg(LineReader::kMaxLine));
            lines->clear();
            return false;
        }
        lines->append(line);
    }
    return true;
}

bool ProgramStore::save(const QList<QByteArray> &lines, QString *error) const
{
    if (m_path.isEmpty()) {
        setError(error, QStringLiteral("no store file"));
        return false;
    }
    if (m_ownFolder)
        QDir().mkpath(QFileInfo(m_path).absolutePath());
    // Written aside and renamed, so a crash never leaves half a program behind.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    for (const QByteArray &line : lines)
        file.write(line + "\r\n");
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

} // namespace talvex::sim

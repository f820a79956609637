#include "sim/engine/programstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace talvex::sim {

ProgramStore::ProgramStore(const QString &path) : m_path(path) {}

QString ProgramStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/talvex-sim/program.txt");
}

bool ProgramStore::load(QList<QByteArray> *lines, QString *error) const
{
    lines->clear();
    if (m_path.isEmpty() || !QFileInfo::exists(m_path))
        return false;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray data = file.readAll();
    if (data.endsWith("\r\n"))
        data.chop(2);
    if (data.isEmpty())
        return true;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines->append(line);
    }
    return true;
}

bool ProgramStore::save(const QList<QByteArray> &lines, QString *error) const
{
    if (m_path.isEmpty()) {
        if (error)
            *error = QStringLiteral("no store file");
        return false;
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    // Written aside and renamed, so a crash never leaves half a program behind.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    for (const QByteArray &line : lines)
        file.write(line + "\r\n");
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace talvex::sim

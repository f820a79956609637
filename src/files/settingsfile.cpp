#include "files/settingsfile.h"

#include "core/big5.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace talvex {

namespace {

// A hand-edited or damaged settings file may hold anything; the first line is shown in
// the status bar, so a runaway "line" (a binary file) is cut at a sane length.
constexpr qint64 kMaxFirstLine = 256;

} // namespace

QString settingsFilePath()
{
    return QDir::current().filePath(QStringLiteral("DATA.TXT"));
}

QString ReadPortSetting()
{
    QFile file(settingsFilePath());
    if (!file.exists())
        return QStringLiteral("1");
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("1");
    QByteArray head = file.read(kMaxFirstLine + 2);
    qsizetype end = head.size();
    for (qsizetype i = 0; i < head.size(); ++i) {
        if (head.at(i) == '\r' || head.at(i) == '\n') {
            end = i;
            break;
        }
    }
    head.truncate(std::min<qsizetype>(end, kMaxFirstLine));
    return decodeBig5(head);
}

bool WritePortSetting(const QString &comPort, QString *error)
{
    const Big5Bytes encoded = encodeBig5(comPort);
    QSaveFile file(settingsFilePath());
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(encoded.bytes);
    file.write("\r\n", 2);
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace talvex

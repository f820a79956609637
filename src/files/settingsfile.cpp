#include "files/settingsfile.h"

#include "core/big5.h"
#include "core/filewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

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

QString parsePortSetting(const QByteArray &head)
{
    qsizetype end = head.size();
    for (qsizetype i = 0; i < head.size(); ++i) {
        if (head.at(i) == '\r' || head.at(i) == '\n') {
            end = i;
            break;
        }
    }
    return decodeBig5(head.left(std::min<qsizetype>(end, kMaxFirstLine)));
}

QString readPortSetting(QString *failure)
{
    // A named pipe in the file's place would hold the start-up until something wrote
    // to it, and a folder or a device holds no setting: only a regular file is read.
    const QString path = settingsFilePath();
    if (!QFileInfo(path).isFile())
        return QStringLiteral("1");
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray head = file.read(kMaxFirstLine + 2);
        if (file.error() == QFileDevice::NoError)
            return parsePortSetting(head);
    }
    if (failure)
        *failure = file.errorString();
    return QStringLiteral("1");
}

bool writePortSetting(const QString &comPort, QString *error)
{
    // Opening a named pipe for writing would wait for a reader, and replacing a
    // folder or device entry is not the station's business: the writer refuses both.
    return writeWholeFile(settingsFilePath(), encodeBig5(comPort).bytes + "\r\n", error);
}

} // namespace talvex

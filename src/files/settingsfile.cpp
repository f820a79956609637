#include "files/settingsfile.h"

#include "core/big5.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

QString ReadPortSetting(QString *failure)
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

bool WritePortSetting(const QString &comPort, QString *error)
{
    // Opening a named pipe for writing would wait for a reader, and replacing a
    // folder or device entry is not the station's business.
    const QFileInfo existing(settingsFilePath());
    if (existing.exists() && !existing.isFile()) {
        if (error)
            *error = QStringLiteral("那不是一般檔案 (而是資料夾、具名管道或裝置)。");
        return false;
    }
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

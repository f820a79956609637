#include "files/settingsfile.h"

#include "core/big5.h"

#include <QDir>
#include <QFile>
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

QString ReadPortSetting()
{
    QFile file(settingsFilePath());
    if (!file.exists())
        return QStringLiteral("1");
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("1");
    return parsePortSetting(file.read(kMaxFirstLine + 2));
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

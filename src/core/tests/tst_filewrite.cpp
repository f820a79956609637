#include "core/filewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace talvex;

namespace {

enum class Kind
{
    File,
    LinkToFile,
    LinkToNothing,
    Folder,
    Fifo,
    Socket,
    Device,
};

// Makes the thing at @p path; false when this run cannot (a device needs root).
bool make(Kind kind, const QString &path, int *socketFd)
{
    const QByteArray name = QFile::encodeName(path);
    const QString target = path + QStringLiteral(".target");
    switch (kind) {
    case Kind::File:
        return QFile(path).open(QIODevice::WriteOnly);
    case Kind::LinkToFile:
        return QFile(target).open(QIODevice::WriteOnly) && QFile::link(target, path);
    case Kind::LinkToNothing:
        return QFile::link(target, path);
    case Kind::Folder:
        return QDir().mkdir(path);
    case Kind::Fifo:
        return ::mkfifo(name.constData(), 0600) == 0;
    case Kind::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (name.size() >= qsizetype(sizeof address.sun_path))
            return false;
        std::copy(name.begin(), name.end(), address.sun_path);
        *socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        return ::bind(*socketFd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    }
    case Kind::Device: // the null device's numbers, only inside the test's folder
        return ::geteuid() == 0 && ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    }
    return false;
}

} // namespace

class TestFileWrite : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writeWholeFile_onlyOverRegularFiles_data();
    void writeWholeFile_onlyOverRegularFiles();
};

void TestFileWrite::writeWholeFile_onlyOverRegularFiles_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("synced");
    QTest::addColumn<bool>("written");
    const QList<std::pair<const char *, std::pair<Kind, bool>>> kinds = {
        {"file", {Kind::File, true}},
        {"link to a file", {Kind::LinkToFile, true}},
        {"link to nothing", {Kind::LinkToNothing, true}},
        {"folder", {Kind::Folder, false}},
        {"named pipe", {Kind::Fifo, false}},
        {"socket", {Kind::Socket, false}},
        {"device", {Kind::Device, false}},
    };
    for (const auto &[name, row] : kinds) {
        QTest::addRow("%s, synced", name) << int(row.first) << true << row.second;
        QTest::addRow("%s, unsynced", name) << int(row.first) << false << row.second;
    }
}

void TestFileWrite::writeWholeFile_onlyOverRegularFiles()
{
    QFETCH(int, kind);
    QFETCH(bool, synced);
    QFETCH(bool, written);
    const FileSync sync = synced ? FileSync::ToDisk : FileSync::Skip;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("it"));
    int socketFd = -1;
    const bool made = make(Kind(kind), path, &socketFd);
    if (!made)
        QSKIP("cannot make it here (a device node needs root)");
    const QFileInfo before(path);

    QString error;
    QCOMPARE(writeWholeFile(path, "new bytes", &error, sync), written);
    const QFileInfo after(path);
    if (written) {
        QVERIFY(error.isEmpty());
        QCOMPARE(after.isSymLink(), before.isSymLink()); // a link stays a link
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("new bytes"));
    } else {
        QCOMPARE(error, notRegularFileText(path));
        QVERIFY(!after.isFile());
        QCOMPARE(after.size(), before.size());
    }
    // Nothing else is left in the folder: no temporary file survives.
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size() <= 2);
    if (socketFd >= 0)
        ::close(socketFd);
}

QTEST_GUILESS_MAIN(TestFileWrite)
#include "tst_filewrite.moc"

#include "core/filewrite.h"
#include "testing/filekinds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace talvex;
using testing::FileKind;

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

/// What has to be made by the file-kind helper for @p kind; nullopt for a file or a folder.
std::optional<FileKind> fileKindOf(Kind kind)
{
    switch (kind) {
    case Kind::File:
    case Kind::Folder:
        return std::nullopt;
    case Kind::LinkToFile:
    case Kind::LinkToNothing:
        return FileKind::SymbolicLink;
    case Kind::Fifo:
        return FileKind::NamedPipe;
    case Kind::Socket:
        return FileKind::Socket;
    case Kind::Device: // the null device's numbers, only inside the test's folder
        return FileKind::Device;
    }
    return std::nullopt;
}

/// Makes the thing at @p path.
bool make(Kind kind, const QString &path)
{
    const QString target = path + QStringLiteral(".target");
    switch (kind) {
    case Kind::File:
        return QFile(path).open(QIODevice::WriteOnly);
    case Kind::LinkToFile:
        return QFile(target).open(QIODevice::WriteOnly) && testing::makeFileKind(FileKind::SymbolicLink, path, target);
    case Kind::Folder:
        return QDir().mkdir(path);
    case Kind::LinkToNothing:
    case Kind::Fifo:
    case Kind::Socket:
    case Kind::Device:
        return testing::makeFileKind(*fileKindOf(kind), path, target);
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
    const std::optional<FileKind> unusual = fileKindOf(Kind(kind));
    if (unusual && !testing::canMakeFileKind(*unusual))
        QSKIP(testing::whyNoFileKind(*unusual));
    QVERIFY(make(Kind(kind), path));
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
}

QTEST_GUILESS_MAIN(TestFileWrite)
#include "tst_filewrite.moc"

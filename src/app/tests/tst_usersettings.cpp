// The station's per-user settings with something else in their file's place: the
// start-up goes on with the defaults instead of waiting on a named pipe.
#include "app/usersettings.h"
#include "testing/filekinds.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace talvex;
using testing::FileKind;

class TestUserSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void notARegularFile_defaultsAndWhy_data();
    void notARegularFile_defaultsAndWhy();
};

void TestUserSettings::notARegularFile_defaultsAndWhy_data()
{
    // QSettings learns its folder once: only the first row opens the real file.
    QTest::addColumn<bool>("read"); // the row's name says what stands in the file's place
    QTest::newRow("link to a regular file") << true;
    QTest::newRow("named pipe") << false;
    QTest::newRow("link to a named pipe") << false;
    QTest::newRow("folder") << false;
}

void TestUserSettings::notARegularFile_defaultsAndWhy()
{
    QFETCH(bool, read);
    const QString row = QString::fromLatin1(QTest::currentDataTag());
    if (row.startsWith(QLatin1String("link")) && !testing::canMakeFileKind(FileKind::SymbolicLink))
        QSKIP(testing::whyNoFileKind(FileKind::SymbolicLink));
    if (row.endsWith(QLatin1String("pipe")) && !testing::canMakeFileKind(FileKind::NamedPipe))
        QSKIP(testing::whyNoFileKind(FileKind::NamedPipe));
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QCoreApplication::setOrganizationName(QStringLiteral("TALVEX"));
    QCoreApplication::setApplicationName(QStringLiteral("TALVEX Station"));
    if (userSettingsFiles().isEmpty())
        QSKIP("the settings are kept in the registry here: no file stands in their place");
    const QString file = config.filePath(QStringLiteral("TALVEX/TALVEX Station.conf"));
    const QString target = row.startsWith(QLatin1String("link")) ? config.filePath(QStringLiteral("elsewhere")) : file;
    QVERIFY(QDir().mkpath(row == QLatin1String("folder") ? file : config.filePath(QStringLiteral("TALVEX"))));
    QFile regular(target);
    if (row.endsWith(QLatin1String("pipe")))
        QVERIFY(testing::makeFileKind(FileKind::NamedPipe, target));
    else if (row.endsWith(QLatin1String("regular file")))
        QVERIFY(regular.open(QIODevice::WriteOnly) && regular.write("[serialPorts]\nCOM1=/dev/ttyUSB7\n") > 0);
    regular.close();
    if (target != file)
        QVERIFY(testing::makeFileKind(FileKind::SymbolicLink, file, target));

    UserSettings settings; // returns at once: a pipe is never opened
    QCOMPARE(settings.problem(), whyUserSettingsUnreadable());
    QCOMPARE(settings.problem().contains(file), !read);
    QCOMPARE(settings.settings().value(QStringLiteral("serialPorts/COM1")).toString(),
             read ? QStringLiteral("/dev/ttyUSB7") : QString());
}

QTEST_GUILESS_MAIN(TestUserSettings)
#include "tst_usersettings.moc"

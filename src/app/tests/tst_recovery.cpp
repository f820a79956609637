#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Recovery after a crash, end to end: stations in processes of their own, killed
// with SIGKILL in the middle of their work, and started again beside each other.
class TestRecovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedStation_offersItsProgramOnNextStart();

private:
    struct Station
    {
        std::unique_ptr<QProcess> process;
        int asked = -1;
        QString file;
    };
    Station start(const QString &answer = QString());
    QString command(Station &station, const QString &line);
    /// Places steps and waits until the station's recovery file holds them.
    QString placeAndWaitForWrite(Station &station, const QStringList &steps);
    QStringList files(const QString &pattern) const;

    QTemporaryDir m_dir;
};

TestRecovery::Station TestRecovery::start(const QString &answer)
{
    Station station;
    station.process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("TMPDIR"), m_dir.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    station.process->setProcessEnvironment(env);
    station.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments;
    if (!answer.isEmpty())
        arguments << QStringLiteral("--answer") << answer;
    station.process->start(QStringLiteral(TALVEX_RECOVERY_STATION), arguments);
    const QString ready = command(station, QString());
    const QStringList words = ready.split(QLatin1Char(' '));
    if (words.value(0) == QLatin1String("ready")) {
        station.asked = words.value(1).section(QLatin1Char('='), 1).toInt();
        station.file = ready.section(QStringLiteral("file="), 1);
    }
    return station;
}

QString TestRecovery::command(Station &station, const QString &line)
{
    QProcess &process = *station.process;
    if (!line.isEmpty())
        process.write((line + QLatin1Char('\n')).toUtf8());
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(10000))
            return QStringLiteral("no reply to ") + line;
    }
    return QString::fromUtf8(process.readLine()).chopped(1);
}

QString TestRecovery::placeAndWaitForWrite(Station &station, const QStringList &steps)
{
    for (const QString &step : steps)
        command(station, QStringLiteral("place ") + step);
    // Written by itself, a moment after the last change.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const QStringList written = command(station, QStringLiteral("written")).split(QLatin1Char(' '));
        if (written.value(1).toInt() > 0 && written.value(2) == QLatin1String("0"))
            break;
        if (waited.elapsed() > 5000)
            return QStringLiteral("never written");
        QTest::qWait(50);
    }
    return command(station, QStringLiteral("table"));
}

QStringList TestRecovery::files(const QString &pattern) const
{
    const QString folder = m_dir.filePath(QStringLiteral("data/TALVEX/TALVEX Station/recovery"));
    QStringList found;
    for (const QString &name : QDir(folder).entryList({pattern}, QDir::Files))
        found << QDir(folder).filePath(name);
    return found;
}

void TestRecovery::killedStation_offersItsProgramOnNextStart()
{
    // A station that keeps running beside all the others.
    Station beside = start();
    QCOMPARE(beside.asked, 0);
    const QString besideTable = placeAndWaitForWrite(beside, {"HOME"});
    QVERIFY(QFile::exists(beside.file));

    // A second station: the first one's file is no left-over.
    Station killed = start();
    QCOMPARE(killed.asked, 0);
    const QString table = placeAndWaitForWrite(killed, {"WT 1000", "HOME", "LABLE A B", "LOOP 3", "LOOPEND", "WT 2 s"});
    QVERIFY2(table.startsWith(QLatin1String("table 6 1|")), qPrintable(table));
    killed.process->kill();
    QVERIFY(killed.process->waitForFinished(5000));
    QVERIFY(QFile::exists(killed.file));

    // Yes: the same table back, Dirty; the left-over goes, the program is in the new
    // station's own file.
    Station yes = start(QStringLiteral("yes"));
    QCOMPARE(yes.asked, 1);
    QCOMPARE(command(yes, QStringLiteral("table")), table);
    QVERIFY(!QFile::exists(killed.file));
    QVERIFY(QFile::exists(yes.file));
    yes.process->kill();
    QVERIFY(yes.process->waitForFinished(5000));

    // No: nothing comes back, and the left-over is removed.
    Station no = start(QStringLiteral("no"));
    QCOMPARE(no.asked, 1);
    QCOMPARE(command(no, QStringLiteral("table")), QStringLiteral("table 0 0|FUNCTINO\tIN\tXPOINT\tYPOINT\tOUT"));
    QVERIFY(!QFile::exists(yes.file));

    // Normal quits remove the files and the locks.
    QCOMPARE(command(beside, QStringLiteral("table")), besideTable);
    for (Station *station : {&no, &beside}) {
        QCOMPARE(command(*station, QStringLiteral("quit")), QStringLiteral("bye"));
        QVERIFY(station->process->waitForFinished(5000));
        QCOMPARE(station->process->exitCode(), 0);
    }
    QCOMPARE(files(QStringLiteral("*")), QStringList());
}

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"

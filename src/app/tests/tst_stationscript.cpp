// The station script: answers in order, Chinese answers read as the buttons they
// name, clicks on buttons and menu entries by caption, a transcript of it all.
#include "app/stationscript.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

using talvex::Operator;
using talvex::StationScript;

class TestStationScript : public QObject
{
    Q_OBJECT

private slots:
    void runsAgainstWindow();
    void refusesUnknownCommand();
};

namespace {

QString writeScript(const QTemporaryDir &dir, const QString &text)
{
    const QString path = dir.filePath(QStringLiteral("script"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(text.toUtf8());
    return path;
}

Operator::Request request(Operator::Kind kind, const QString &text = QString())
{
    Operator::Request r;
    r.kind = kind;
    r.text = text;
    return r;
}

} // namespace

void TestStationScript::runsAgainstWindow()
{
    QTemporaryDir dir;
    const QString transcript = dir.filePath(QStringLiteral("transcript"));
    const QString picture = dir.filePath(QStringLiteral("window.png"));
    qputenv("TALVEX_STATION_SCRIPT", writeScript(dir, QStringLiteral("# a comment\n"
                                                                     "transcript %1\n"
                                                                     "answer 是\nanswer 否\nanswer 取消\nanswer a.tvx\n"
                                                                     "click 上傳\nclick 存檔\nclick 沒有這個\n"
                                                                     "grab %2\nquit\n")
                                                          .arg(transcript, picture))
                                         .toLocal8Bit());
    StationScript script;
    qunsetenv("TALVEX_STATION_SCRIPT");
    QVERIFY(script.isActive());
    QCOMPARE(script.problem(), QString());

    QCOMPARE(script.ask(request(Operator::Kind::Notice, QStringLiteral("通知"))).answer, Operator::Answer::Yes);
    QCOMPARE(script.ask(request(Operator::Kind::YesNo, QStringLiteral("一"))).answer, Operator::Answer::Yes);
    QCOMPARE(script.ask(request(Operator::Kind::YesNoCancel, QStringLiteral("二"))).answer, Operator::Answer::No);
    QCOMPARE(script.ask(request(Operator::Kind::YesNoCancel, QStringLiteral("三"))).answer, Operator::Answer::Cancel);
    QCOMPARE(script.ask(request(Operator::Kind::OpenFile)).text, QStringLiteral("a.tvx"));
    QCOMPARE(script.ask(request(Operator::Kind::YesNo, QStringLiteral("四"))).answer, Operator::Answer::No);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *upload = new QPushButton(QStringLiteral("上傳"), &window);
    layout->addWidget(upload);
    QAction *save = window.addAction(QStringLiteral("存檔(&S)"));
    int uploads = 0;
    int saves = 0;
    connect(upload, &QPushButton::clicked, &window, [&uploads] { ++uploads; });
    connect(save, &QAction::triggered, &window, [&saves] { ++saves; });
    window.show();
    script.start(window);
    QTRY_VERIFY(!window.isVisible());
    QCOMPARE(uploads, 1);
    QCOMPARE(saves, 1);
    QVERIFY(QImage(picture).width() > 0);

    QFile file(transcript);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList expected{QStringLiteral("notice\t通知"),
                               QStringLiteral("question\t一\t是"),
                               QStringLiteral("question\t二\t否"),
                               QStringLiteral("question\t三\t取消"),
                               QStringLiteral("file\t\ta.tvx"),
                               QStringLiteral("question\t四\tunanswered"),
                               QStringLiteral("click\t上傳\tdone"),
                               QStringLiteral("click\t存檔\tdone"),
                               QStringLiteral("click\t沒有這個\tnot found or disabled"),
                               QStringLiteral("grab\t%1\tdone").arg(picture),
                               QStringLiteral("quit")};
    QCOMPARE(lines, expected);
}

void TestStationScript::refusesUnknownCommand()
{
    QTemporaryDir dir;
    qputenv("TALVEX_STATION_SCRIPT", writeScript(dir, QStringLiteral("answer 是\npress 上傳\n")).toLocal8Bit());
    const StationScript script;
    qunsetenv("TALVEX_STATION_SCRIPT");
    QVERIFY(script.problem().contains(QStringLiteral("press")));
}

QTEST_MAIN(TestStationScript)
#include "tst_stationscript.moc"

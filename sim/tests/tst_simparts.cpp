// Small parts of the simulator: the axis' motion profile, cutting the line into
// commands, the program's points, and the command line.
#include "simtestutil.h"

#include "sim/engine/axis.h"
#include "sim/engine/linereader.h"
#include "sim/engine/simoptions.h"

#include <QTest>

using namespace talvex;
using namespace talvex::sim;
using namespace talvex::sim::testing;

class TestSimParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void axis_trapezoidProfile_data();
    void axis_trapezoidProfile();
    void axis_newMoveStartsWhereItIs();
    void lineReader_cutsLines_data();
    void lineReader_cutsLines();
    void program_pointsOfMotionGroups();
    void options_parse_data();
    void options_parse();
    void announcement_roundTrip();
};

void TestSimParts::axis_trapezoidProfile_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("accel");
    QTest::addColumn<double>("rampMs");
    QTest::addColumn<double>("totalMs");

    // Full speed reached: ramp v/a, total 2v/a + (d - v²/a)/v.
    QTest::newRow("100 mm at 50, 2000") << 0.0 << 100.0 << 50.0 << 2000.0 << 25.0 << 2025.0;
    QTest::newRow("200 mm at 50, 2000") << 0.0 << 200.0 << 50.0 << 2000.0 << 25.0 << 4025.0;
    QTest::newRow("backwards 300 at 100, 1000") << 300.0 << 0.0 << 100.0 << 1000.0 << 100.0 << 3100.0;
    // Exactly v²/a: a triangle that just touches full speed.
    QTest::newRow("just full speed") << 0.0 << 10.0 << 100.0 << 1000.0 << 100.0 << 200.0;
    // Triangle: ramp sqrt(d/a).
    QTest::newRow("triangle 1 mm") << 0.0 << 1.0 << 100.0 << 100.0 << 100.0 << 200.0;
    QTest::newRow("triangle 4 mm") << 5.0 << 1.0 << 1000.0 << 100.0 << 200.0 << 400.0;
}

void TestSimParts::axis_trapezoidProfile()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, speed);
    QFETCH(double, accel);
    QFETCH(double, rampMs);
    QFETCH(double, totalMs);
    Axis axis;
    axis.place(from);
    axis.moveTo(to, speed, accel, 1000.0);
    QCOMPARE(axis.endTime(), 1000.0 + totalMs);
    QCOMPARE(Axis::moveDuration(to - from, speed, accel), totalMs);
    const double dir = to > from ? 1 : -1;
    const double t = rampMs / 1000.0;
    QCOMPARE(axis.position(999.0), from);
    QCOMPARE(axis.position(1000.0), from);
    QCOMPARE(axis.position(1000.0 + rampMs), from + dir * 0.5 * accel * t * t);
    QCOMPARE(axis.position(1000.0 + totalMs / 2), (from + to) / 2); // symmetric profile
    QCOMPARE(axis.position(1000.0 + totalMs - rampMs), to - dir * 0.5 * accel * t * t);
    QCOMPARE(axis.position(1000.0 + totalMs), to);
    QCOMPARE(axis.position(1e9), to);
    QVERIFY(axis.moving(1000.0 + totalMs - 0.001));
    QVERIFY(!axis.moving(1000.0 + totalMs));
    double last = from;
    for (double ms = 1000.0; ms <= 1000.0 + totalMs; ms += totalMs / 97) {
        const double p = axis.position(ms);
        QVERIFY2(dir * (p - last) >= -1e-9, "never turns back");
        last = p;
    }
}

void TestSimParts::axis_newMoveStartsWhereItIs()
{
    Axis axis;
    axis.moveTo(100.0, 50.0, 2000.0, 0.0);
    const double at = axis.position(1000.0);
    axis.moveTo(0.0, 50.0, 2000.0, 1000.0);
    QCOMPARE(axis.position(1000.0), at);
    QCOMPARE(axis.endTime(), 1000.0 + Axis::moveDuration(at, 50.0, 2000.0));
    axis.halt(1500.0);
    QVERIFY(!axis.moving(1500.0));
    QVERIFY(axis.position(1500.0) < at);
    QCOMPARE(axis.position(99999.0), axis.position(1500.0));
}

void TestSimParts::lineReader_cutsLines_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("items");

    using Chunks = QList<QByteArray>;
    QTest::newRow("one line") << Chunks{"?VM\r"} << QStringList{"?VM"};
    QTest::newRow("split across reads") << Chunks{"?V", "M", "\r?I", "NP\r"} << QStringList{"?VM", "?INP"};
    QTest::newRow("empty line") << Chunks{"}\r\r"} << QStringList{"}", ""};
    QTest::newRow("escape clears part") << Chunks{"EC\x1b\x1b"
                                                  "EC 0\r"}
                                        << QStringList{"<ESC>", "<ESC>", "EC 0"};
    QTest::newRow("line feeds dropped") << Chunks{"G\r\n", "H\n\r"} << QStringList{"G", "H"};
    QTest::newRow("no end yet") << Chunks{"XMA 1"} << QStringList{};
    QTest::newRow("big5 bytes kept") << Chunks{"$\xb0\x5f\xc2\x49:;\r"}
                                     << QStringList{QString::fromLatin1("$\xb0\x5f\xc2\x49:;")};
}

void TestSimParts::lineReader_cutsLines()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, items);
    LineReader reader;
    QStringList got;
    for (const QByteArray &chunk : chunks) {
        for (const LineReader::Item &item : reader.feed(chunk))
            got << (item.kind == LineReader::Item::Kind::Escape ? QStringLiteral("<ESC>")
                                                                : QString::fromLatin1(item.line));
    }
    QCOMPARE(got, items);
}

void TestSimParts::program_pointsOfMotionGroups()
{
    const Program program = programOf(workedExample() + QStringList{"XMA 5;", "DN;", "YMA 7;", "XH;", "DN;", "WT 1;"});
    // The worked example visits (100, 200) (one point, however often the loop runs),
    // then homes; a lone XMA keeps the Y before it; XH counts as X 0.
    QCOMPARE(program.points(), (QList<QPointF>{{100, 200}, {5, 0}, {0, 7}}));
}

void TestSimParts::options_parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("check");

    auto row = [](const char *tag, const QStringList &args, ParseResult r, const QString &check = {}) {
        QTest::newRow(tag) << (QStringList{"talvex-sim"} + args) << static_cast<int>(r) << check;
    };
    row("nothing", {}, ParseResult::Run, "window");
    row("headless", {"--headless"}, ParseResult::Run, "headless");
    row("line options", {"--echo", "--reply-delay", "30", "--baud", "9600", "--silent", "--garbage"}, ParseResult::Run,
        "line");
    row("files", {"--link", "/tmp/a", "--store", "/tmp/s", "--capture", "/tmp/c"}, ParseResult::Run, "files");
    row("scale", {"--time-scale", "20", "--attached"}, ParseResult::Run, "scale");
    row("slowest and appending", {"--time-scale", "0.001", "--baud", "50", "--capture-append", "/tmp/c"},
        ParseResult::Run, "append");
    row("help", {"--help"}, ParseResult::Help);
    row("version", {"--version"}, ParseResult::Version);
    row("negative delay", {"--reply-delay", "-1"}, ParseResult::Error);
    row("baud letters", {"--baud", "fast"}, ParseResult::Error);
    row("zero scale", {"--time-scale", "0"}, ParseResult::Error);
    row("unknown option", {"--turbo"}, ParseResult::Error);
    row("stray argument", {"extra"}, ParseResult::Error);
}

void TestSimParts::options_parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, result);
    QFETCH(QString, check);
    SimOptions o;
    QString message;
    QCOMPARE(static_cast<int>(parseSimOptions(arguments, &o, &message)), result);
    if (result == static_cast<int>(ParseResult::Error))
        QVERIFY(!message.isEmpty());
    if (result == static_cast<int>(ParseResult::Help)) {
        QVERIFY(message.contains("--headless"));
        QVERIFY(message.contains("jog x|y MM"));
    }
    if (check == "window") {
        QVERIFY(!o.headless && !o.attached && !o.line.echo && o.baud == 0 && o.timeScale == 1.0);
        QVERIFY(o.store.endsWith("talvex-sim/program.txt"));
    } else if (check == "headless") {
        QVERIFY(o.headless);
    } else if (check == "line") {
        QVERIFY(o.line.echo && o.line.silent && o.line.garbage);
        QCOMPARE(o.line.replyDelayMs, 30);
        QCOMPARE(o.baud, 9600);
    } else if (check == "files") {
        QCOMPARE(o.link, "/tmp/a");
        QCOMPARE(o.store, "/tmp/s");
        QCOMPARE(o.capture, "/tmp/c");
        QVERIFY(!o.captureAppend);
    } else if (check == "scale") {
        QCOMPARE(o.timeScale, 20.0);
        QVERIFY(o.attached);
    } else if (check == "append") {
        QCOMPARE(o.timeScale, 0.001);
        QCOMPARE(o.baud, 50);
        QCOMPARE(o.capture, "/tmp/c");
        QVERIFY(o.captureAppend);
    }
}

void TestSimParts::announcement_roundTrip()
{
    QCOMPARE(deviceAnnouncement("/dev/pts/5"), "talvex-sim: /dev/pts/5");
    QCOMPARE(deviceFromAnnouncement("talvex-sim: /dev/pts/5\n"), "/dev/pts/5");
    QCOMPARE(deviceFromAnnouncement("something else"), QString());
}

QTEST_GUILESS_MAIN(TestSimParts)
#include "tst_simparts.moc"

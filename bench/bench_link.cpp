// The line against the virtual controller: one status-timer tick with the link up,
// and the download of the largest program at 9600 baud, over the pseudo-terminal and
// through ser2net in front of it (tcp://).
#include "benchutil.h"
#include "compiler/compiler.h"
#include "core/big5.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/trafficlogmodel.h"
#include "editor/trafficlogwindow.h"
#include "editor/uploadjob.h"
#include "link/portmap.h"
#include "link/routingserialport.h"
#include "link/sleeper.h"
#include "link/stationlink.h"
#include "programs.h"
#include "ser2netprocess.h"
#include "simprocess.h"
#include "testing/fakelinkview.h"
#include "testing/scriptedoperator.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <sys/stat.h>

using namespace talvex;
using namespace talvex::bench;
using talvex::sim::testing::Ser2netProcess;
using talvex::sim::testing::SimProcess;
using Clock = std::chrono::steady_clock;

namespace {

/// The input boxes show @p word (bit k-1 = box k).
bool inputsMatch(MainWindow &window, int word)
{
    for (int k = 1; k <= 16; ++k) {
        if (window.ui().inputBoxes[static_cast<size_t>(k) - 1]->isChecked() != bool(word & (1 << (k - 1))))
            return false;
    }
    return true;
}

/// Starts the simulator with @p options, or reports the figure @p what as not measured.
bool startSimulator(SimProcess &sim, const QStringList &options, const QString &what, const QString &target)
{
    if (sim.start(options))
        return true;
    report(what, QStringLiteral("-"), target, false, QStringLiteral("talvex-sim did not start"));
    return false;
}

/// Progress as the real progress dialog shows it: each update lets the event loop run,
/// so the traffic log window takes its entries and redraws in the middle of a download.
class ProgressOperator : public testing::ScriptedOperator
{
public:
    void showProgress(const QString &text, const QString &title, qint64 done, qint64 total) override
    {
        ScriptedOperator::showProgress(text, title, done, total);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
};

/// The station's end of the line to a running simulator: its device, or the address of
/// a device server in front of it, through the port the station itself uses.
struct StationLine
{
    explicit StationLine(const QString &device) { ports.setAll(device); }
    PortMap ports;
    RoutingSerialPort port{ports};
    ThreadSleeper sleeper;
    ProgressOperator op;
};

void benchTick(const QTemporaryDir &dir)
{
    SimProcess sim;
    if (!startSimulator(sim, {QStringLiteral("--store"), dir.filePath(QStringLiteral("tick-store.txt"))},
                        QStringLiteral("status tick, link up"), QStringLiteral("<= 2 ms")))
        return;
    StationLine line(sim.device);
    ThreadSleeper &sleeper = line.sleeper;
    MainWindow window(line.op, line.port, sleeper);
    window.statusTimer().stop();
    window.stationLink().connectController(QStringLiteral("1"));
    window.statusTimer().stop(); // ticks are driven by hand here
    sim.command(QStringLiteral("inputs 21845"));

    constexpr int kRuns = 31;
    const double tick = medianMs(kRuns, [&] { window.stationLink().tick(); });
    // The floor: the tick's two fixed 50 ms waits, on the same clock, in the same run.
    const double floor = medianMs(kRuns, [&] {
        sleeper.sleep(Line::kQueryWaitMs);
        sleeper.sleep(Line::kQueryWaitMs);
    });
    const double overhead = tick - floor;
    report(QStringLiteral("status tick, link up, minus its fixed waits"),
           QStringLiteral("%1 ms").arg(overhead, 0, 'f', 2), QStringLiteral("<= 2 ms"), overhead <= 2.0,
           QStringLiteral("tick %1 ms against the two 50 ms waits measured at %2 ms; inputs decoded: %3")
               .arg(tick, 0, 'f', 2)
               .arg(floor, 0, 'f', 2)
               .arg(inputsMatch(window, 21845) ? QStringLiteral("yes") : QStringLiteral("NO")));
    window.stationLink().exit();
}

qint64 fileSize(const QByteArray &path)
{
    struct stat st
    {
    };
    return ::stat(path.constData(), &st) == 0 ? static_cast<qint64>(st.st_size) : -1;
}

/// How the download reaches the simulator's pseudo-terminal.
enum class Route
{
    Direct,
    /// Directly, with the traffic log window open and watching all of it.
    TrafficLogOpen,
    /// tcp:// to ser2net's raw accepter in front of it.
    Ser2net,
};

/// The download of the largest program, against the line's own limit, as the
/// simulator reads it off its pseudo-terminal at 9600 baud.
void benchDownload(const QTemporaryDir &dir, Route route)
{
    const bool withTrafficLog = route == Route::TrafficLogOpen;
    const QString what = route == Route::Direct ? QStringLiteral("download of the largest program at 9600 baud")
                         : route == Route::TrafficLogOpen ? QStringLiteral("download at 9600 baud, traffic log open")
                                                          : QStringLiteral("download at 9600 baud through ser2net");
    const QString tag = route == Route::Direct           ? QString()
                        : route == Route::TrafficLogOpen ? QStringLiteral("log-")
                                                         : QStringLiteral("ser2net-");
    const QString capture = dir.filePath(tag + QStringLiteral("capture.bin"));
    SimProcess sim;
    if (!startSimulator(sim,
                        {QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--capture"), capture,
                         QStringLiteral("--store"), dir.filePath(tag + QStringLiteral("dl-store.txt"))},
                        what, QStringLiteral("<= 1.02")))
        return;
    Ser2netProcess server;
    QString device = sim.device;
    if (route == Route::Ser2net) {
        if (Ser2netProcess::executable().isEmpty() || !server.start(QStringLiteral("tcp"), sim.device, dir.path())) {
            report(what, QStringLiteral("-"), QStringLiteral("<= 1.02"), false,
                   QStringLiteral("ser2net did not start (scripts/setup installs it)"));
            return;
        }
        device = server.address();
    }
    StationLine line(device);
    testing::ScriptedOperator &op = line.op;
    testing::FakeLinkView view;
    StationLink station(line.port, line.sleeper, op, view);
    std::unique_ptr<TrafficLogWindow> log;
    if (withTrafficLog) {
        log = std::make_unique<TrafficLogWindow>(station.line());
        log->show();
    }
    station.connectController(QStringLiteral("1"));
    sim.waitFor(QStringLiteral("received"),
                [](const QString &r) { return r.startsWith(QLatin1String("received 11 ")); });

    // What the download must put on the line, byte for byte.
    const int rows = 500;
    const ProgramTable table = largestProgram(rows);
    CompileOptions options;
    options.SetAcceleration = true;
    options.AccelerationText = QStringLiteral("2000");
    CompiledProgram expectedProgram;
    compileTable(table, rows, options, expectedProgram);
    QByteArray download = QByteArray("\x1b\x1b") + "DL\r";
    for (int i = 0; i <= expectedProgram.ProgramTextLast; ++i)
        download += encodeBig5(expectedProgram.ProgramText.at(static_cast<size_t>(i))).bytes + '\r';
    download += '\r';

    const QByteArray path = QFile::encodeName(capture);
    const qint64 before = fileSize(path) + 4; // the probe's "?VM\r" comes first
    const qint64 total = before + download.size();
    std::atomic<bool> stop{false};
    Clock::time_point first{};
    Clock::time_point last{};
    std::thread watcher([&] {
        bool started = false;
        while (!stop) {
            const qint64 size = fileSize(path);
            const auto now = Clock::now();
            if (!started && size > before) {
                first = now;
                started = true;
            }
            if (size >= total) {
                last = now;
                return;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });

    op.answerNo();
    op.answerNo();
    UploadJob upload(station);
    upload.run(table, rows, options, QStringLiteral("1"));
    const CompiledProgram &program = upload.program();
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (last == Clock::time_point{} && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    stop = true;
    watcher.join();

    QFile captured(capture);
    captured.open(QIODevice::ReadOnly);
    const QByteArray bytes = captured.readAll();
    const bool intact = bytes.mid(before - 4) == QByteArray("?VM\r") + download;
    const double seconds = std::chrono::duration<double>(last - first).count();
    const double minimum = download.size() * 10.0 / 9600.0;
    const double ratio = seconds / minimum;
    QString note;
    if (log) {
        QCoreApplication::processEvents();
        log->model().flush();
        note = QStringLiteral("; the log holds %1 entries").arg(log->model().rowCount());
    } else if (route == Route::Ser2net) {
        note = QStringLiteral("; the station on %1, ser2net's raw accepter").arg(device);
    }
    report(what, QStringLiteral("%1").arg(ratio, 0, 'f', 3), QStringLiteral("<= 1.02, nothing lost"),
           ratio <= 1.02 && intact && last != Clock::time_point{},
           QStringLiteral("%1 program lines, %2 bytes from DL to the last byte in %3 s against the line's %4 s; "
                          "capture %5%6")
               .arg(program.ProgramTextLast + 1)
               .arg(download.size())
               .arg(seconds, 0, 'f', 3)
               .arg(minimum, 0, 'f', 3)
               .arg(intact ? QStringLiteral("equals the bytes sent") : QStringLiteral("DIFFERS from the bytes sent"),
                    note));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    benchTick(dir);
    benchDownload(dir, Route::Direct);
    benchDownload(dir, Route::TrafficLogOpen);
    benchDownload(dir, Route::Ser2net);
    return 0;
}

// Start-up of the station to its main window shown (offscreen), and its resident
// memory then, each over the minimal Qt Widgets window started the same way.
#include "benchutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

using namespace talvex::bench;

namespace {

struct Start
{
    double ms = 0;
    double rssKb = 0;
    bool ok = false;
};

Start startOnce(const QString &program, const QString &workDir)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TALVEX_BENCH_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    // A user data folder of its own: no recovery file of an earlier station is offered.
    env.insert(QStringLiteral("XDG_DATA_HOME"), workDir + QStringLiteral("/data"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    Start start;
    while (process.state() != QProcess::NotRunning || process.bytesAvailable() > 0) {
        if (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (line.startsWith("shown rss_kb=")) {
                start.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
                start.rssKb = line.mid(13).toDouble();
                start.ok = true;
                break;
            }
            continue;
        }
        if (!process.waitForReadyRead(10000))
            break;
    }
    process.waitForFinished(10000);
    return start;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath();
    const QString station = bin + QStringLiteral("/talvex-station");
    const QString minimal = bin + QStringLiteral("/minimal_window");
    QTemporaryDir dir; // no settings file: the station's first start

    constexpr int kRuns = 11;
    std::vector<double> stationMs, minimalMs, stationKb, minimalKb;
    // Alternate the two so that both see the same state of the machine.
    startOnce(station, dir.path());
    startOnce(minimal, dir.path());
    for (int i = 0; i < kRuns; ++i) {
        const Start s = startOnce(station, dir.path());
        const Start m = startOnce(minimal, dir.path());
        if (!s.ok || !m.ok) {
            report(QStringLiteral("start-up"), QStringLiteral("-"), QStringLiteral("<= 1.5x"), false,
                   QStringLiteral("a program did not report its window shown"));
            return 1;
        }
        stationMs.push_back(s.ms);
        minimalMs.push_back(m.ms);
        stationKb.push_back(s.rssKb);
        minimalKb.push_back(m.rssKb);
    }
    const double timeRatio = median(stationMs) / median(minimalMs);
    const double memRatio = median(stationKb) / median(minimalKb);
    report(QStringLiteral("start-up to main window shown"), QStringLiteral("%1x").arg(timeRatio, 0, 'f', 2),
           QStringLiteral("<= 1.5x"), timeRatio <= 1.5,
           QStringLiteral("station %1 ms, minimal window %2 ms (medians of %3 offscreen starts)")
               .arg(median(stationMs), 0, 'f', 1)
               .arg(median(minimalMs), 0, 'f', 1)
               .arg(kRuns));
    report(QStringLiteral("resident memory after start-up"), QStringLiteral("%1x").arg(memRatio, 0, 'f', 2),
           QStringLiteral("<= 1.3x"), memRatio <= 1.3,
           QStringLiteral("station %1 MB, minimal window %2 MB")
               .arg(median(stationKb) / 1024.0, 0, 'f', 1)
               .arg(median(minimalKb) / 1024.0, 0, 'f', 1));
    return 0;
}

#include "app/commandline.h"
#include "app/fonts.h"
#include "app/helpactions.h"
#include "app/previewlauncher.h"
#include "app/programchecklauncher.h"
#include "app/qttranslation.h"
#include "app/recentfiles.h"
#include "app/startupprobe.h"
#include "app/stationrecovery.h"
#include "app/stationscript.h"
#include "app/teachlauncher.h"
#include "app/usersettings.h"
#include "app/windowplacement.h"
#include "core/big5.h"
#include "core/console.h"
#include "editor/mainwindow.h"
#include "editor/pngicon.h"
#include "editor/qtoperator.h"
#include "editor/seriallineactions.h"
#include "link/localserialport.h"
#include "link/portchoices.h"
#include "link/portmap.h"
#include "link/routingserialport.h"
#include "link/sleeper.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// QApplication aborts with a terse message when there is no display; say what to do.
bool displayAvailable(const talvex::StationCommandLine &commandLine)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || commandLine.platformGiven())
        return true;
#if defined(Q_OS_LINUX)
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

// On these platforms nothing is shown: a box would wait for a click that cannot come.
bool screenless()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

// Why @p program cannot be run, or the empty text when it looks like a program.
QString whyNotRunnable(const QString &program)
{
    const QFileInfo info(program);
    if (!info.exists())
        return QStringLiteral("找不到 %1").arg(program);
    if (info.isDir())
        return QStringLiteral("%1 是資料夾, 不是程式, 無法執行").arg(program);
    if (!info.isFile())
        return QStringLiteral("%1 不是一般檔案, 無法執行").arg(program);
    if (!info.isExecutable())
        return QStringLiteral("沒有執行 %1 的權限").arg(program);
    return {};
}

// The virtual controller's first line on stdout names its end of the line.
const QString kSimulatorPrefix = QStringLiteral("talvex-sim: ");
constexpr int kSimulatorStartMs = 10000;
constexpr int kSimulatorStopMs = 3000;

// Starts talvex-sim from beside this program and returns the line it opened (its
// pseudo-terminal, or on Windows its loopback TCP address), or the empty text with the reason in @p error. On the
// offscreen platform it runs headless; --attached makes it end when the station closes its input, so it does not
// outlive a station that crashed.
QString startSimulator(QProcess &process, QString *error)
{
    // "talvex-sim", or "talvex-sim.exe" where programs are named so.
    const QString folder = QCoreApplication::applicationDirPath();
    QString program = QStandardPaths::findExecutable(QStringLiteral("talvex-sim"), {folder});
    if (program.isEmpty())
        program = folder + QStringLiteral("/talvex-sim");
    *error = whyNotRunnable(program);
    if (!error->isEmpty())
        return {};
    QStringList arguments{QStringLiteral("--attached")};
    if (screenless())
        arguments << QStringLiteral("--headless");
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForStarted(kSimulatorStartMs)) {
        *error = QStringLiteral("無法執行 %1: %2").arg(program, process.errorString());
        return {};
    }
    QElapsedTimer waited;
    waited.start();
    while (!process.canReadLine() && process.state() == QProcess::Running && waited.elapsed() < kSimulatorStartMs)
        process.waitForReadyRead(100);
    const QString line = QString::fromLocal8Bit(process.readLine()).trimmed();
    if (!line.startsWith(kSimulatorPrefix)) {
        *error = line.isEmpty() ? QStringLiteral("模擬控制器沒有回報它的通訊埠") : line;
        process.kill();
        process.waitForFinished(kSimulatorStopMs);
        return {};
    }
    return line.mid(kSimulatorPrefix.size());
}

void stopSimulator(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.closeWriteChannel();
    if (process.waitForFinished(kSimulatorStopMs))
        return;
    process.terminate();
    if (!process.waitForFinished(kSimulatorStopMs))
        process.kill();
}

} // namespace

int main(int argc, char *argv[])
{
    talvex::useParentConsole();
    talvex::StationCommandLine commandLine;
    if (const std::optional<int> status = commandLine.handleWithoutWindow(argc, argv))
        return *status;
    if (!displayAvailable(commandLine)) {
        std::fputs("talvex-station: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "Start it from a desktop session, or on a machine without a screen run it under a\n"
                   "virtual display:  xvfb-run -a talvex-station\n",
                   stderr);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TALVEX Station"));
    QApplication::setOrganizationName(QStringLiteral("TALVEX"));
    QApplication::setApplicationVersion(QStringLiteral(TALVEX_VERSION));
    QApplication::setWindowIcon(talvex::pngIcon(QStringLiteral("talvex")));
    talvex::registerFontSubstitutions();
    talvex::installQtTranslation(app);

    talvex::QtOperator boxes;
    // Tests of the installed program answer the boxes from a script instead.
    talvex::StationScript script;
    if (!script.problem().isEmpty()) {
        std::fprintf(stderr, "talvex-station: the station script cannot be used: %s\n",
                     script.problem().toUtf8().constData());
        return 2;
    }
    talvex::Operator &op = script.isActive() ? static_cast<talvex::Operator &>(script) : boxes;
    talvex::PortMap ports;
    // The operator's own choice of devices, from the station's per-user settings.
    talvex::UserSettings userSettings; // problem(): why the stored settings were not read
    QSettings &settings = userSettings.settings();
    QStringList refusedChoices;
    talvex::loadPortChoices(ports, settings, &refusedChoices);
    QProcess simulator;
    if (commandLine.simulate()) {
        QString error;
        const QString device = startSimulator(simulator, &error);
        if (device.isEmpty()) {
            std::fprintf(stderr, "talvex-station: the virtual controller did not start: %s\n", qPrintable(error));
            if (!screenless()) {
                op.notice(QStringLiteral("無法啟動模擬控制器 talvex-sim:\n%1").arg(error), talvex::messageTitle(),
                          talvex::Operator::Icon::Warning);
            }
            return 1;
        }
        ports.setAll(device);
    }
    // Checked with the rest of the command line before the window system started.
    for (const QString &option : commandLine.deviceOptions())
        ports.applyOption(option, nullptr);

    talvex::RoutingSerialPort port(ports);
    talvex::ThreadSleeper sleeper;
    talvex::MainWindow window(op, port, sleeper);
    if (!userSettings.problem().isEmpty())
        window.noticeWhenShown(userSettings.problem());
    for (const QString &refusal : refusedChoices)
        window.noticeWhenShown(refusal);
    if (!talvex::big5Available()) {
        std::fprintf(stderr, "talvex-station: %s\n", qPrintable(talvex::big5MissingText()));
        window.noticeWhenShown(talvex::big5MissingText());
    }
    boxes.setParentWidget(&window);
    talvex::TeachLauncher teach(window);
    talvex::PreviewLauncher preview(window);
    talvex::ProgramCheckLauncher programCheck(window);
    const std::unique_ptr<talvex::SerialDeviceCatalog> devices = talvex::makeSerialDeviceCatalog();
    talvex::SerialLineActions lineActions(window, ports, *devices, settings);
    talvex::RecentFiles recentFiles(window, settings);
    talvex::HelpActions help(window);
    talvex::restoreWindowPlacement(window, settings);
    QObject::connect(&window, &talvex::MainWindow::closing, &window,
                     [&window, &settings] { talvex::saveWindowPlacement(window, settings); });
    window.show();
    // The start-up benchmark runs the real program and stops it as soon as the
    // window is up, reporting how much memory it took to get there.
    talvex::armStartupProbe(window);
    talvex::StationRecovery recovery(window);
    // After the offer of unsaved work (queued before it), so that both can be answered.
    if (!commandLine.programFile().isEmpty())
        QTimer::singleShot(0, &window, [&window, &commandLine] { window.openProgramFile(commandLine.programFile()); });
    if (script.isActive())
        script.start(window);
    const int status = QApplication::exec();
    port.close();
    stopSimulator(simulator);
    return status;
}

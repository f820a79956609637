// talvex-sim: a virtual TALVEX controller on a pseudo-terminal, with a window or
// headless, driven by the station over the line and by control commands on stdin.
#include "core/console.h"
#include "sim/engine/simoptions.h"
#include "sim/engine/simulator.h"
#include "sim/engine/stdiochannel.h"
#include "sim/platform.h"
#include "sim/window/simfonts.h"
#include "sim/window/simwindow.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {

bool wantsConsoleOnly(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--headless" || arg == "--help" || arg == "-h" || arg == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    talvex::useParentConsole();
    const bool consoleOnly = wantsConsoleOnly(argc, argv);
    if (!consoleOnly && !talvex::sim::displayAvailable()) {
        std::fputs("talvex-sim: no display found; run it with --headless, or under xvfb-run -a\n", stderr);
        return 2;
    }
    std::unique_ptr<QCoreApplication> app;
    if (consoleOnly)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("talvex-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TALVEX_VERSION));

    talvex::sim::SimOptions options;
    QString message;
    switch (talvex::sim::parseSimOptions(QCoreApplication::arguments(), &options, &message)) {
    case talvex::sim::ParseResult::Run:
        break;
    case talvex::sim::ParseResult::Help:
        std::fputs(qPrintable(message), stdout);
        return 0;
    case talvex::sim::ParseResult::Version:
        std::puts("talvex-sim " TALVEX_VERSION);
        return 0;
    case talvex::sim::ParseResult::Error:
        std::fprintf(stderr, "talvex-sim: %s\n", qPrintable(message));
        return 2;
    }

    // Before anything is published: a signal from now on ends the event loop, and the
    // way out removes the link, however early it came.
    talvex::sim::quitOnSignals(*app);
    talvex::sim::Simulator simulator(options);
    std::unique_ptr<talvex::sim::SimWindow> window;
    QString error;
    if (!options.headless) {
        talvex::sim::registerFontSubstitutions();
        // The window exists before the line opens so that it logs the power-up.
        window = std::make_unique<talvex::sim::SimWindow>(simulator.controller(), simulator.session());
    }
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "talvex-sim: %s\n", qPrintable(error));
        return 1;
    }
    // The first line names the line to open: the pseudo-terminal where there is one.
    if (!simulator.devicePath().isEmpty())
        talvex::sim::StdioChannel::writeLine(talvex::sim::deviceAnnouncement(simulator.devicePath()));
    if (simulator.options().listenPort >= 0)
        talvex::sim::StdioChannel::writeLine(
            talvex::sim::listenAnnouncement(simulator.options().listenHost, simulator.listenPort()));
    if (!options.link.isEmpty())
        std::fprintf(stderr, "talvex-sim: linked as %s\n", qPrintable(options.link));

    talvex::sim::StdioChannel control(simulator.control());
    QObject::connect(&control, &talvex::sim::StdioChannel::quitRequested, app.get(), &QCoreApplication::quit);
    if (options.attached)
        QObject::connect(&control, &talvex::sim::StdioChannel::closed, app.get(), &QCoreApplication::quit);

    if (window) {
        window->setDevice(simulator.devicePath().isEmpty()
                              ? talvex::sim::listenAddress(simulator.options().listenHost, simulator.listenPort())
                              : simulator.devicePath());
        window->show();
    }
    return QCoreApplication::exec();
}

#include "app/fonts.h"
#include "app/teachlauncher.h"
#include "editor/mainwindow.h"
#include "editor/qtoperator.h"
#include "link/portmap.h"
#include "link/qtserialport.h"
#include "link/sleeper.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

namespace {

// QApplication aborts with a terse message when there is no display; say what to do.
bool displayAvailable()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
#if defined(Q_OS_LINUX)
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    if (!displayAvailable()) {
        std::fputs("talvex-station: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "Start it from a desktop session, or on a machine without a screen run it under a\n"
                   "virtual display:  xvfb-run -a talvex-station\n",
                   stderr);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TALVEX Station"));
    QApplication::setOrganizationName(QStringLiteral("TALVEX"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/talvex.svg")));
    talvex::registerFontSubstitutions();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("TALVEX Station: program and teach a TALVEX X/Y controller"));
    parser.addHelpOption();
    const QCommandLineOption deviceOption(
        QStringLiteral("device"), QStringLiteral("Map menu entry COM<N> (1..4) to the serial device PATH."),
        QStringLiteral("N=PATH"));
    parser.addOption(deviceOption);
    parser.process(app);

    talvex::PortMap ports;
    for (const QString &option : parser.values(deviceOption)) {
        QString error;
        if (!ports.applyOption(option, &error)) {
            std::fprintf(stderr, "talvex-station: %s\n", qPrintable(error));
            return 2;
        }
    }

    talvex::QtOperator op;
    talvex::QtSerialPort port(ports);
    talvex::ThreadSleeper sleeper;
    talvex::MainWindow window(op, port, sleeper);
    op.setParentWidget(&window);
    talvex::TeachLauncher teach(window, op);
    window.show();
    return QApplication::exec();
}

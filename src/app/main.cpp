#include "app/fonts.h"
#include "editor/mainwindow.h"
#include "editor/qtoperator.h"

#include <QApplication>
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

    talvex::QtOperator op;
    talvex::MainWindow window(op);
    op.setParentWidget(&window);
    window.show();
    return QApplication::exec();
}

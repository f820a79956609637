#include "sim/platform.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "core/windowsapi.h"

namespace talvex::sim {

namespace {

BOOL WINAPI onConsoleEvent(DWORD)
{
    // Called on a thread of its own: the quit is queued to the main thread.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

bool displayAvailable()
{
    return true;
}

// Ctrl+C, Ctrl+Break and a closed console end the event loop; a station that started
// the simulator ends it by closing its standard input (--attached).
void quitOnSignals(QCoreApplication &app)
{
    Q_UNUSED(app);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

} // namespace talvex::sim

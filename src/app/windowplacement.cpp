#include "app/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace talvex {

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");

bool onSomeScreen(const QRect &frame)
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        // Enough of the title bar to take hold of.
        const QRect shown = screen->availableGeometry().intersected(frame);
        if (shown.width() >= 100 && shown.height() >= 40)
            return true;
    }
    return false;
}

} // namespace

void restoreWindowPlacement(QWidget &window, QSettings &settings)
{
    window.restoreGeometry(settings.value(kGeometryKey).toByteArray());
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary || onSomeScreen(window.frameGeometry()))
        return;
    const QRect room = primary->availableGeometry();
    window.resize(window.size().boundedTo(room.size()).expandedTo(window.minimumSize()));
    window.move(room.topLeft());
}

void saveWindowPlacement(const QWidget &window, QSettings &settings)
{
    settings.setValue(kGeometryKey, window.saveGeometry());
}

} // namespace talvex

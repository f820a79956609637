#pragma once

class QSettings;
class QWidget;

namespace talvex {

/// Puts @p window where and as large as it was when the station last ended, from the
/// per-user @p settings. A place on no screen (a screen unplugged, a projector gone)
/// comes back onto the primary one.
void restoreWindowPlacement(QWidget &window, QSettings &settings);
/// Keeps where @p window is and its size for the next start.
void saveWindowPlacement(const QWidget &window, QSettings &settings);

} // namespace talvex

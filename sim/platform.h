#pragma once

class QCoreApplication;

namespace talvex::sim {

// What the simulator's start needs of the system, one small file per platform.

/// Whether a window can be shown at all (on Linux: a display is named).
bool displayAvailable();
/// Ends the event loop normally when the process is asked to stop (SIGTERM, Ctrl+C,
/// a closed console), so the published link is removed on the way out.
void quitOnSignals(QCoreApplication &app);

} // namespace talvex::sim

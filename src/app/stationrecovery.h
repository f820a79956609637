#pragma once

#include "files/recoveryfile.h"

#include <QObject>

namespace talvex {

class MainWindow;

/// Keeps the main window's unsaved work in a recovery file while the station runs, and
/// offers the work a station that did not end normally left behind. Made once the
/// main window is shown: the offer comes as soon as the event loop runs, after the
/// window's start-up. A normal end (this object's destruction) removes the file.
class StationRecovery : public QObject
{
    Q_OBJECT

public:
    explicit StationRecovery(MainWindow &window, const QString &folder = RecoveryFile::defaultFolder());
    ~StationRecovery() override;

    RecoveryFile &file() { return m_file; }

    /// Asks about each left-over, the most recent first, until one is taken back: Yes
    /// puts its program in the table and the list (one undo step, Dirty true) and
    /// removes the file once this station's own recovery file holds the program; No
    /// removes it; Cancel keeps it. Left-overs after the one taken back (or the one
    /// cancelled) stay for the next start. Returns how many were asked about.
    int offerLeftOvers();
    static QString question();

private:
    /// Keeps the file in step with the program.
    void followProgram();

    MainWindow &m_window;
    QString m_folder;
    RecoveryFile m_file;
};

} // namespace talvex

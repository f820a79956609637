#pragma once

#include "link/stationlink.h"
#include "testing/fakelinkview.h"
#include "testing/memoryserialport.h"
#include "testing/scriptedoperator.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace talvex::testing {

/// The main window's side of the line on the test doubles, without widgets: virtual
/// time, an in-memory port answering like a controller ("?VM", "?INP" 5, "?VA" 2000,
/// 20 ms late), a scripted operator and a fake view, in a fresh temporary working
/// directory (an upload writes TRY.txt there). Made anew for every test function.
class StationLinkFixture
{
public:
    StationLinkFixture();
    ~StationLinkFixture();
    StationLinkFixture(const StationLinkFixture &) = delete;
    StationLinkFixture &operator=(const StationLinkFixture &) = delete;

    /// The port answers the controller's queries as a controller would.
    void answerLikeAController();

    QTemporaryDir dir;
    VirtualSleeper clock;
    MemorySerialPort port{clock};
    ScriptedOperator op;
    FakeLinkView view;
    StationLink station{port, clock, op, view};

private:
    QString m_previousDirectory;
};

} // namespace talvex::testing

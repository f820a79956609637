#pragma once

#include "editor/uploadjob.h"
#include "link/portmap.h"
#include "link/routingserialport.h"
#include "link/sleeper.h"
#include "link/stationlink.h"
#include "testing/fakelinkview.h"
#include "testing/scriptedoperator.h"

#include <QString>

namespace talvex::testing {

/// The station's end of a real line (the virtual controller's pseudo-terminal, or a
/// tcp:// or rfc2217:// address): the
/// serial port, real time, the link and the upload as the main window holds them, with
/// a scripted operator and no window.
struct StationSide
{
    explicit StationSide(const QString &device) { ports.setAll(device); }
    PortMap ports;
    RoutingSerialPort port{ports};
    ThreadSleeper sleeper;
    ScriptedOperator op;
    FakeLinkView view;
    StationLink link{port, sleeper, op, view};
    UploadJob upload{link};
};

} // namespace talvex::testing

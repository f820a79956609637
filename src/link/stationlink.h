#pragma once

#include "link/controllersession.h"
#include "link/holdingoperator.h"
#include "link/iopanel.h"
#include "link/line.h"
#include "link/pollhold.h"

namespace talvex {

class LinkView;
class Operator;
class SerialPort;
class Sleeper;

/// The main window's side of the line's life: connect, the status timer's tick and
/// exit, and the link status the window shows. It owns the line, the session on it,
/// the hold of the polls and the operator that holds them while a box is up.
class StationLink
{
public:
    StationLink(SerialPort &port, Sleeper &sleeper, Operator &op, LinkView &view);
    StationLink(const StationLink &) = delete;
    StationLink &operator=(const StationLink &) = delete;

    Line &line() { return m_line; }
    ControllerSession &session() { return m_session; }
    /// The polls to hold while the operator has a box or dialog in front of them.
    PollHold &polls() { return m_polls; }
    /// The operator, with the polls held while a box or dialog is up.
    Operator &op() { return m_op; }
    OutputLatch &outputLatch() { return m_latch; }

    /// "連線": announce, open the port of @p comPort, probe, stop the running program
    /// ("EC 0") and start the status timer.
    void connectController(const QString &comPort);
    /// The status timer's tick: link state, motion buttons, input poll, output sync.
    /// The timer is held while a box or dialog is up (polls()), so a tick never
    /// starts in the middle of another handler's exchange.
    void tick();
    /// "結束(&E)": "EC 1" when connected, then the port is closed.
    void exit();
    /// With the status timer stopped: probes the line once more, then downloads
    /// @p program. A silent controller gets "通訊有誤!" and the line is closed; a line
    /// that dies under the download (told once already) starts the timer again, so
    /// that its next tick shows the line as down. True when every byte has left.
    bool download(const QStringList &program);
    /// After a download and its questions: the line is closed.
    void closeAfterDownload();
    /// The main window's "定位": "XMA " and "YMA " with @p x and @p y of row @p row,
    /// whatever its kind. A cell Big5 cannot carry is named to the operator and
    /// nothing is sent.
    void locateRow(int row, const QString &x, const QString &y);

    static QString connectNotice();
    static QString probeFailedText();

private:
    /// The one place where the window's link panel and motion buttons follow the line.
    void showLineState(LinkState state);

    PollHold m_polls;
    HoldingOperator m_op;
    Line m_line;
    ControllerSession m_session;
    LinkView &m_view;
    OutputLatch m_latch;
};

} // namespace talvex

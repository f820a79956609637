#pragma once

#include "compiler/compiler.h"
#include "link/iopanel.h"
#include "link/link.h"

namespace talvex {

class LinkView;
class Operator;
class SerialPort;
class Sleeper;

/// The main window's side of the link's life: connect, the status timer's tick,
/// upload and exit.
class StationLink
{
public:
    StationLink(SerialPort &port, Sleeper &sleeper, Operator &op, LinkView &view);

    Link &link() { return m_link; }
    OutputLatch &outputLatch() { return m_latch; }

    /// "連線": announce, open the port of @p comPort, probe, stop the running program
    /// ("EC 0") and start the status timer.
    void Connect(const QString &comPort);
    /// The status timer's tick: link state, motion buttons, input poll, output sync.
    /// The timer is held while a box or dialog is up (Link::polls()), so a tick never
    /// starts in the middle of another handler's exchange.
    void tick();
    /// "上傳": connect if needed, compile, write the listing, download, then offer
    /// to store and to start the program, and close the link.
    void upload(const ProgramTable &table, int lastRow, const CompileOptions &options, CompiledProgram &program,
                const QString &comPort);
    /// "結束(&E)": "EC 1" when connected, then the port is closed.
    void exit();
    /// The main window's "定位": "XMA " and "YMA " with the X and Y cells of @p row,
    /// whatever its kind. A cell Big5 cannot carry is named to the operator and
    /// nothing is sent.
    void locateRow(const ProgramTable &table, int row);

    static QString connectNotice();
    static QString probeFailedText();

private:
    Link m_link;
    /// The link's operator, which holds the polls while a box is up.
    Operator &m_op;
    LinkView &m_view;
    OutputLatch m_latch;
};

} // namespace talvex

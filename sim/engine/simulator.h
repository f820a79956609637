#pragma once

#include "sim/engine/clock.h"
#include "sim/engine/controlchannel.h"
#include "sim/engine/controller.h"
#include "sim/engine/linesession.h"
#include "sim/engine/ptyendpoint.h"
#include "sim/engine/simoptions.h"
#include "sim/engine/tcpendpoint.h"

#include <QObject>
#include <QTimer>

namespace talvex::sim {

/// The whole virtual controller as one process runs it: the machine on its clock,
/// the line session on real time, the pseudo-terminal, and the tick that moves them.
class Simulator : public QObject
{
    Q_OBJECT

public:
    /// How often the program advances and the line is serviced.
    static constexpr int kTickMs = 5;

    explicit Simulator(const SimOptions &options, QObject *parent = nullptr);

    /// Loads the stored program and opens the line (and the link and capture file the
    /// options ask for). False with the reason when the store is unfit or cannot be
    /// read, or the line, link or capture file cannot be opened.
    bool start(QString *error);

    const SimOptions &options() const { return m_options; }
    Controller &controller() { return m_controller; }
    LineSession &session() { return m_session; }
    ControlChannel &control() { return m_control; }
    const QString &devicePath() const { return m_endpoint.devicePath(); }
    /// The TCP port the line is served on, once started with --listen.
    quint16 listenPort() const { return m_tcp.port(); }

private:
    void tick();

    SimOptions m_options;
    SteadyClock m_machineClock;
    SteadyClock m_lineClock;
    Controller m_controller;
    LineSession m_session;
    PtyEndpoint m_endpoint;
    TcpEndpoint m_tcp;
    ControlChannel m_control;
    QTimer m_timer;
};

} // namespace talvex::sim

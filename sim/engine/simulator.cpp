#include "sim/engine/simulator.h"

namespace talvex::sim {

Simulator::Simulator(const SimOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_machineClock(options.timeScale),
      m_controller(m_machineClock, options.store), m_session(m_controller, m_lineClock, options.line),
      m_endpoint(m_session, m_lineClock),
      m_tcp(m_session, m_lineClock, [this](const QByteArray &bytes) { m_endpoint.receive(bytes); }),
      m_control(m_controller, m_session)
{
    m_endpoint.setPeer(&m_tcp);
    m_timer.setInterval(kTickMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Simulator::tick);
}

bool Simulator::start(QString *error)
{
    // Every path is checked before anything is opened, so a refused start leaves
    // every file as it was. The store is read first; the capture file is opened
    // before the link is published, and the link comes last: nobody is led to a line
    // that never starts, and no link is left behind by a start that fails.
    QString why;
    if (!m_controller.store().check(&why) || !m_controller.powerUp(&why)) {
        *error = QStringLiteral("--store %1: %2; not starting").arg(m_controller.store().path(), why);
        return false;
    }
    if (!m_options.capture.isEmpty() && !PtyEndpoint::checkCapture(m_options.capture, m_options.captureAppend, error))
        return false;
    if (!m_options.link.isEmpty() && !PtyEndpoint::checkLink(m_options.link, error))
        return false;
    // Without pseudo-terminals (Windows) the TCP port is the only line: a free port on
    // the loopback address unless --listen names one.
    if (!PtyEndpoint::available() && m_options.listenPort < 0)
        m_options.listenPort = 0;
    // The port is taken before any file is made: a port in use leaves nothing behind.
    if (m_options.listenPort >= 0 &&
        !m_tcp.listen(m_options.listenHost, static_cast<quint16>(m_options.listenPort), error))
        return false;
    m_tcp.setBaud(m_options.baud);
    if (!m_endpoint.open(error))
        return false;
    m_endpoint.setBaud(m_options.baud);
    if (!m_options.capture.isEmpty() && !m_endpoint.setCapture(m_options.capture, m_options.captureAppend, error))
        return false;
    if (!m_options.link.isEmpty() && !m_endpoint.publishLink(m_options.link, error)) {
        m_endpoint.dropCapture(); // taken meanwhile: the start leaves no capture file
        return false;
    }
    m_timer.start();
    return true;
}

void Simulator::tick()
{
    m_controller.advance();
    m_tcp.service();
    m_endpoint.service();
}

} // namespace talvex::sim

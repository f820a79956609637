#pragma once

// The lines the end-to-end tests run the same exchange over: the simulator's
// pseudo-terminal, tcp:// to its --listen port, and Debian's ser2net in front of the
// pseudo-terminal with its raw and its RFC 2217 accepter.

#include "ser2netprocess.h"
#include "simprocess.h"

#include <QStringList>
#include <QTest>

namespace talvex::sim::testing {

/// The rows of a data-driven test over every line, in its column "line".
inline void addEveryLineRows()
{
    QTest::addColumn<QString>("line"); // "pty", "listen", or a ser2net accepter
    QTest::newRow("pseudo-terminal") << "pty";
    QTest::newRow("tcp:// to --listen") << "listen";
    QTest::newRow("tcp:// to ser2net") << "tcp";
    QTest::newRow("rfc2217:// to ser2net") << "telnet(rfc2217),tcp";
}

/// The simulator at the far end of one of those lines.
class SimulatorOnLine
{
public:
    explicit SimulatorOnLine(const QString &line) : m_line(line) {}

    /// Whether the line goes through ser2net and ser2net is not installed.
    bool lacksSer2net() const { return throughSer2net() && Ser2netProcess::executable().isEmpty(); }

    /// Starts the simulator with @p options, and ser2net in front of it (its
    /// configuration in @p folder) where the line goes through it. True when the
    /// station's address() is ready.
    bool start(QStringList options, const QString &folder)
    {
        if (m_line == QLatin1String("listen"))
            options << QStringLiteral("--listen") << QStringLiteral("0");
        if (!sim.start(options))
            return false;
        m_address = m_line == QLatin1String("listen") ? sim.listening : sim.device;
        if (!throughSer2net())
            return true;
        if (!m_server.start(m_line, sim.device, folder))
            return false;
        m_address = m_server.address();
        return true;
    }

    /// The device or address the station opens.
    QString address() const { return m_address; }

    SimProcess sim;

private:
    bool throughSer2net() const { return m_line.contains(QLatin1String("tcp")); }

    QString m_line;
    QString m_address;
    Ser2netProcess m_server;
};

} // namespace talvex::sim::testing

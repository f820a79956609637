#pragma once

// Debian's ser2net in front of a serial device (the simulator's pseudo-terminal), in
// the foreground with a configuration of its own, on a free loopback port: the device
// server of the end-to-end tests and the benchmarks.

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTcpServer>
#include <QThread>

namespace talvex::sim::testing {

class Ser2netProcess
{
public:
    Ser2netProcess() = default;
    Ser2netProcess(const Ser2netProcess &) = delete;
    Ser2netProcess &operator=(const Ser2netProcess &) = delete;
    ~Ser2netProcess() { stop(); }

    /// Where ser2net is installed; empty when it is not (scripts/setup installs it).
    static QString executable()
    {
        return QStandardPaths::findExecutable(QStringLiteral("ser2net"), {"/usr/sbin", "/usr/bin"});
    }

    /// Starts ser2net with @p accepter ("tcp", "telnet(rfc2217),tcp") in front of
    /// @p device at 9600 8N1, its configuration written into @p folder. True once it
    /// takes connections; address() is then the station's address of it.
    bool start(const QString &accepter, const QString &device, const QString &folder)
    {
        // A free loopback port: one the system chose, then let go of.
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return false;
        m_port = probe.serverPort();
        probe.close();
        const QString config = QDir(folder).filePath(QStringLiteral("ser2net-%1.yaml").arg(m_port));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(QStringLiteral("%YAML 1.1\n---\nconnection: &line\n  accepter: %1,127.0.0.1,%2\n"
                                  "  connector: serialdev,%3,9600n81,local\n")
                       .arg(accepter)
                       .arg(m_port)
                       .arg(device)
                       .toUtf8());
        file.close();
        m_telnet = accepter.startsWith(QLatin1String("telnet"));
        m_process.start(executable(), {"-n", "-d", "-c", config});
        if (!m_process.waitForStarted())
            return false;
        // Ready once it listens. A connection to find out would open the device, and
        // ser2net turns the next one away while it closes the device again.
        for (int tries = 0; tries < 50; ++tries) {
            if (listening())
                return true;
            if (m_process.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(100);
        }
        return false;
    }

    /// "tcp://127.0.0.1:PORT", or "rfc2217://..." for the Telnet accepter.
    QString address() const
    {
        return QStringLiteral("%1://127.0.0.1:%2").arg(m_telnet ? "rfc2217" : "tcp").arg(m_port);
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

private:
    /// Whether a socket listens on the port, as the system's table of IPv4 TCP
    /// sockets says: "sl local_address rem_address st ...", the address in hex and
    /// state 0A for listening.
    bool listening() const
    {
        QFile table(QStringLiteral("/proc/net/tcp"));
        if (!table.open(QIODevice::ReadOnly))
            return false;
        const QString local = QStringLiteral(":%1").arg(m_port, 4, 16, QLatin1Char('0')).toUpper();
        // The table's size reads as 0: read it to its end rather than asking for it.
        const QStringList rows = QString::fromLatin1(table.readAll()).split(QLatin1Char('\n'));
        for (const QString &row : rows) {
            const QStringList fields = row.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (fields.size() > 3 && fields.at(1).endsWith(local) && fields.at(3) == QLatin1String("0A"))
                return true;
        }
        return false;
    }

    QProcess m_process;
    quint16 m_port = 0;
    bool m_telnet = false;
};

} // namespace talvex::sim::testing

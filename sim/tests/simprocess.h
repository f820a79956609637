#pragma once

// talvex-sim --headless as a child process for end-to-end tests, spoken to through
// its control channel on stdin/stdout.

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <functional>

namespace talvex::sim::testing {

/// talvex-sim --headless as a child process, spoken to through its control channel.
class SimProcess
{
public:
    SimProcess() = default;
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;
    ~SimProcess() { stop(); }

    bool start(const QStringList &options)
    {
        m_process.setProgram(QStringLiteral(TALVEX_SIM_EXECUTABLE));
        m_process.setArguments(QStringList{"--headless"} + options);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        const QString first = readLine(5000);
        if (!first.startsWith("talvex-sim: "))
            return false;
        device = first.mid(12);
        // With --listen a second line says where: "talvex-sim: tcp://HOST:PORT".
        if (options.contains("--listen")) {
            const QString second = readLine(5000);
            if (!second.startsWith("talvex-sim: tcp://"))
                return false;
            listening = second.mid(12);
        }
        return true;
    }

    QString command(const QString &line)
    {
        m_process.write(line.toUtf8() + '\n');
        m_process.waitForBytesWritten(1000);
        return readLine(5000);
    }

    /// Repeats @p line until its reply satisfies @p done or @p ms pass; the last reply.
    QString waitFor(const QString &line, const std::function<bool(const QString &)> &done, int ms = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        QString reply = command(line);
        while (!done(reply) && timer.elapsed() < ms) {
            QThread::msleep(10);
            reply = command(line);
        }
        return reply;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        command("quit");
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

    QProcess &process() { return m_process; }
    QString device;
    /// "tcp://HOST:PORT" when started with --listen.
    QString listening;

private:
    QString readLine(int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && timer.elapsed() < ms && m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(50);
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    QProcess m_process;
};

} // namespace talvex::sim::testing

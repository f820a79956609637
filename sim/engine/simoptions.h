#pragma once

#include "sim/engine/linesession.h"

#include <QString>
#include <QStringList>

namespace talvex::sim {

/// The simulator's command line.
struct SimOptions
{
    /// The machine runs at least this much and at most that much faster than real
    /// time: far enough either way for any test, near enough that a wait still ends.
    static constexpr double kMinTimeScale = 0.001;
    static constexpr double kMaxTimeScale = 1000.0;
    /// Line rates from the slowest teleprinter to the fastest common serial port.
    static constexpr int kMinBaud = 50;
    static constexpr int kMaxBaud = 4000000;

    bool headless = false;
    /// Started by another program: the simulator ends when its standard input closes.
    bool attached = false;
    QString link;
    QString store;
    QString capture;
    /// Capture adds to an existing file instead of refusing it.
    bool captureAppend = false;
    /// 0: the line is read as fast as it comes.
    int baud = 0;
    /// The machine runs this many times faster than real time (the line does not).
    double timeScale = 1.0;
    /// --listen: the address to serve the line on over TCP (loopback unless given), and
    /// its port; -1 when the line is the pseudo-terminal alone, 0 for one the system picks.
    QString listenHost = QStringLiteral("127.0.0.1");
    int listenPort = -1;
    LineBehaviour line;
};

enum class ParseResult
{
    Run,
    Help,
    Version,
    Error
};

/// Reads @p arguments (the program name first). For Help, @p message holds the help
/// text; for Error, what is wrong.
ParseResult parseSimOptions(const QStringList &arguments, SimOptions *options, QString *message);

/// The first line the simulator prints on standard output: "talvex-sim: " followed
/// by the device path.
QString deviceAnnouncement(const QString &devicePath);
/// The device path out of that line; empty when the line is not one.
QString deviceFromAnnouncement(const QString &line);
/// The station's name for the line served on @p host and @p port ("tcp://HOST:PORT").
QString listenAddress(const QString &host, quint16 port);
/// The line printed with --listen: "talvex-sim: tcp://HOST:PORT" (the second line, or
/// the first where there is no pseudo-terminal).
QString listenAnnouncement(const QString &host, quint16 port);

} // namespace talvex::sim

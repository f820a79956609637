#pragma once

#include <QByteArray>
#include <QString>

namespace talvex {

class Operator;
class SerialPort;
class Sleeper;

/// The line exchange with the controller: command lines ended by one carriage
/// return, answers taken by waiting a fixed time and reading everything received.
/// Answers are not matched to questions; every read takes all that has arrived.
///
/// A line that dies during an operation (a write fails, the adapter is unplugged) is
/// reported once with " 連線錯誤 !", the port is closed, and the rest of that
/// operation stays silent, so a download of a thousand lines does not raise a
/// thousand boxes.
class Link
{
public:
    static constexpr int kQueryWaitMs = 50;
    static constexpr int kProbeWaitMs = 200;
    /// Progress is shown when sending takes longer than this.
    static constexpr int kProgressAfterMs = 500;
    /// A line that takes no byte for this long is dead.
    static constexpr int kStallMs = 5000;

    Link(SerialPort &port, Sleeper &sleeper, Operator &op);

    SerialPort &port() { return m_port; }
    Sleeper &sleeper() { return m_sleeper; }
    Operator &op() { return m_op; }
    bool isOpen() const;

    /// Sends one command line: the text, then a carriage return as a second write.
    /// With the port closed shows " 連線錯誤 !" and writes nothing.
    void sendCommand(const QString &text);
    /// sendCommand(query), wait 50 ms, return everything received, untouched.
    QString TimedQuery(const QString &query);
    /// Writes "?VM" and a carriage return as one write, waits 200 ms, and tells
    /// whether anything at all has been received (also text that came before).
    bool LinkProbe();

    /// Raw writes, without the closed-port message; false when nothing was written.
    bool writeRaw(const QByteArray &bytes);
    bool writeText(const QString &text);
    /// The text, then a carriage return as a second write, without the closed-port
    /// message (the polls and the teach dialog's commands); false if not all went.
    bool writeLine(const QString &text);
    /// Everything received so far, as text.
    QString readText();

    /// Waits until every byte written has left, showing the operator how far it got
    /// when that takes a while. Returns false if the line died meanwhile.
    bool waitUntilSent(const QString &what);

    /// Starts counting the bytes of a transfer for waitUntilSent()'s progress.
    void beginTransfer() { m_sentSinceDrain = 0; }

    /// Closes the port (nothing is sent).
    void close();

    /// Marks one operator-level operation (a button, a timer tick). Nested scopes
    /// belong to the outermost one.
    class Operation
    {
    public:
        explicit Operation(Link &link);
        ~Operation();
        Operation(const Operation &) = delete;
        Operation &operator=(const Operation &) = delete;

    private:
        Link &m_link;
    };

    /// True while an exchange or a download is running: a timer tick that fires from
    /// inside a message box must not start another one.
    bool busy() const { return m_busy > 0; }

    static QString linkErrorText();
    static QString notRespondingText();

private:
    friend class Operation;
    friend class BusyScope;
    void lineLost();
    bool checkLine();

    SerialPort &m_port;
    Sleeper &m_sleeper;
    Operator &m_op;
    int m_depth = 0;
    bool m_lostInOperation = false;
    int m_busy = 0;
    qint64 m_sentSinceDrain = 0;
};

/// Holds Link::busy() for its lifetime.
class BusyScope
{
public:
    explicit BusyScope(Link &link) : m_link(link) { ++m_link.m_busy; }
    ~BusyScope() { --m_link.m_busy; }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    Link &m_link;
};

} // namespace talvex

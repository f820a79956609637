#pragma once

#include "core/big5.h"
#include "link/linetrafficobserver.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <vector>

namespace talvex {

class Operator;
class PollHold;
class SerialPort;
class Sleeper;

/// The health of the line as the station sees it.
///
/// | state        | the port               | isOpen() | a command sent in it                |
/// |--------------|------------------------|----------|-------------------------------------|
/// | Closed       | closed                 | false    | " 連線錯誤 !", at every call         |
/// | Open         | holds the device       | true     | written                             |
/// | Lost         | failed, or let go of   | true     | not written; the loss is told       |
/// | LostReported | closed                 | false    | not written, nothing shown          |
///
/// Transitions (the private functions of Line with these names); each one that
/// changes the state emits Line::stateChanged():
/// - opened: Closed -> Open. The port was opened.
/// - lineFailed: Open -> Lost. A write, push or read failed, the line stalled, or the
///   port let a vanished device go.
/// - lossReported: Lost -> LostReported. " 連線錯誤 !" is shown once (with the port's
///   lossReason() on a line of its own when it gives one) and the port is
///   closed. It happens at the first use of the line after the failure, so the action
///   that meets it tells it; a loss that no use meets is told as soon as no action
///   runs and no box is up (at once when the device vanishes between two exchanges,
///   or when the box that was up closes).
/// - actionEnded: LostReported -> Closed. The operator action (Link::Operation) that
///   told the loss is over: the rest of it stayed silent, the next one is told about
///   the closed line like any other.
/// - closed: Open or Lost -> Closed. The station closes the line.
/// - portClosed: Open -> Closed. The port was closed under the line by its owner.
///
/// The port has the last word on what it holds: a port opened or closed by its owner
/// without the line is taken as it stands (Closed -> Open, Open -> Closed).
///
/// Lost counts as open so that callers go on to use the line and that use tells the
/// operator, within whichever action met the failure.
enum class LinkState
{
    Closed,
    Open,
    Lost,
    LostReported
};

/// The line to the controller: the port, the Big5 stream of what it receives, the
/// traffic observers and the LinkState machine. Command lines end with one carriage
/// return; answers are taken by waiting a fixed time and reading everything received.
/// Answers are not matched to questions; every read takes all that has arrived. What
/// the lines say is ControllerSession's business.
///
/// A line that dies during an operation (a write fails, the adapter is unplugged) is
/// reported once with " 連線錯誤 !", the port is closed, and the rest of that
/// operation stays silent, so a download of a thousand lines does not raise a
/// thousand boxes. The loss is told through @p op; while @p polls holds (a box is up)
/// a loss no use has met waits for the box to close.
class Line : public QObject
{
    Q_OBJECT

public:
    static constexpr int kQueryWaitMs = 50;
    /// Progress is shown when sending takes longer than this.
    static constexpr int kProgressAfterMs = 500;
    /// A line that takes no byte for this long is dead.
    static constexpr int kStallMs = 5000;

    Line(SerialPort &port, Sleeper &sleeper, Operator &op, PollHold &polls);
    ~Line() override;

    SerialPort &port() { return m_port; }
    Sleeper &sleeper() { return m_sleeper; }
    /// The operator the loss of the line is told through.
    Operator &op() { return m_op; }

    /// The state after looking at what the port reports.
    LinkState state();
    /// Open or Lost (see LinkState).
    bool isOpen();
    /// The line was lost within the action that runs now and the loss has been told:
    /// the rest of the action does nothing.
    bool lostInThisAction();

    /// Opens COM @p portNumber. False (and still closed) when the port cannot be
    /// opened; the port's openFailure() says why.
    bool open(int portNumber);
    /// Closes the port (nothing is sent).
    void close();

    /// Sends one command line: the text, then a carriage return as a second write.
    /// With the port closed shows " 連線錯誤 !" and writes nothing.
    void sendCommand(const QString &text);
    /// sendCommand(query), wait 50 ms, return everything received, untouched.
    QString timedQuery(const QString &query);

    /// Raw writes, without the closed-port message; false when nothing was written.
    bool writeRaw(const QByteArray &bytes);
    bool writeText(const QString &text);
    /// The text, then a carriage return as a second write, without the closed-port
    /// message (the polls and the teach dialog's commands); false if not all went.
    bool writeLine(const QString &text);

    struct Received
    {
        QString text;
        /// Bytes read, a lead byte waiting for its partner included.
        qsizetype bytes = 0;
    };
    /// Everything received so far. The receive side is one Big5 stream for the life of
    /// a connection: a character split between two reads is joined.
    Received receive();
    QString readText() { return receive().text; }
    /// Reads and drops everything received so far, half a character included.
    void discardReceived();

    /// Waits until every byte written has left, showing the operator how far it got
    /// when that takes a while. Returns false if the line died meanwhile.
    bool waitUntilSent(const QString &what);

    /// Starts counting the bytes of a transfer for waitUntilSent()'s progress.
    void beginTransfer() { m_sentSinceDrain = 0; }

    /// From now on @p observer is told every byte written and read, until removed.
    void addTrafficObserver(LineTrafficObserver &observer);
    void removeTrafficObserver(LineTrafficObserver &observer);

    /// One operator action on the line (a button, a timer tick, a download): the only
    /// guard there is. A line lost within it is told once; nested scopes belong to the
    /// outermost. Every call of the line is an action of its own when no scope is open.
    class Operation
    {
    public:
        explicit Operation(Line &line);
        ~Operation();
        Operation(const Operation &) = delete;
        Operation &operator=(const Operation &) = delete;

    private:
        Line &m_line;
    };

    static QString linkErrorText();
    static QString notRespondingText();

Q_SIGNALS:
    /// The state moved (see LinkState); emitted after the move.
    void stateChanged(talvex::LinkState state);

private:
    void setState(LinkState state);

    // Transitions (see LinkState).
    void opened();
    void lineFailed();
    void lossReported();
    void actionEnded();
    void closed();
    void portClosed();

    /// Applies what the port reports: a failure, or an open or close done without
    /// the line.
    void observePort();
    /// Before a use: tells a loss not told yet; true when the line can be used.
    bool lineUsable();
    /// A use of the line just failed: lost, and told now.
    void loseLine();
    /// Tells a loss that no use has met, once nothing runs and no box is up.
    void tellLossWhenQuiet();
    void tellObservers(LineTrafficObserver::Direction direction, const QByteArray &bytes);

    SerialPort &m_port;
    Sleeper &m_sleeper;
    Operator &m_op;
    PollHold &m_polls;
    LinkState m_state = LinkState::Closed;
    /// Nesting of Operation scopes.
    int m_depth = 0;
    Big5StreamDecoder m_decoder;
    qint64 m_sentSinceDrain = 0;
    std::vector<LineTrafficObserver *> m_observers;
};

} // namespace talvex

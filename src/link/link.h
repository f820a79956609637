#pragma once

#include "core/big5.h"
#include "link/holdingoperator.h"
#include "link/linetrafficobserver.h"
#include "link/pollhold.h"

#include <QByteArray>
#include <QString>

#include <initializer_list>
#include <utility>
#include <vector>

namespace talvex {

class Operator;
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
/// Transitions (the private functions of Link with these names):
/// - opened: Closed -> Open. The port was opened.
/// - lineFailed: Open -> Lost. A write, push or read failed, the line stalled, or the
///   port let a vanished device go.
/// - lossReported: Lost -> LostReported. " 連線錯誤 !" is shown once and the port is
///   closed. It happens at the first use of the line after the failure, so the action
///   that meets it tells it; a loss that no use meets is told as soon as no action
///   runs and no box is up (at once when the device vanishes between two exchanges,
///   or when the box that was up closes).
/// - actionEnded: LostReported -> Closed. The operator action (Link::Operation) that
///   told the loss is over: the rest of it stayed silent, the next one is told about
///   the closed line like any other.
/// - closed: Open or Lost -> Closed. The station closes the line.
///
/// The port has the last word on what it holds: a port opened or closed by its owner
/// without the link is taken as it stands (Closed -> Open, Open -> Closed).
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

/// The line exchange with the controller: command lines ended by one carriage
/// return, answers taken by waiting a fixed time and reading everything received.
/// Answers are not matched to questions; every read takes all that has arrived.
///
/// A line that dies during an operation (a write fails, the adapter is unplugged) is
/// reported once with " 連線錯誤 !", the port is closed, and the rest of that
/// operation stays silent, so a download of a thousand lines does not raise a
/// thousand boxes.
///
/// The link also owns the hold of the polls: op() is the operator with the polls
/// held around every interaction, and the polls register their timers with polls().
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
    ~Link();
    Link(const Link &) = delete;
    Link &operator=(const Link &) = delete;

    SerialPort &port() { return m_port; }
    Sleeper &sleeper() { return m_sleeper; }
    /// The operator, with the polls held while a box or dialog is up.
    Operator &op() { return m_op; }
    PollHold &polls() { return m_polls; }

    /// The state after looking at what the port reports.
    LinkState state();
    /// Open or Lost (see LinkState).
    bool isOpen();

    /// Opens COM @p portNumber. False (and still closed) when the port cannot be
    /// opened; the port's openFailure() says why.
    bool open(int portNumber);
    /// Closes the port (nothing is sent).
    void close();

    /// Sends one command line: the text, then a carriage return as a second write.
    /// With the port closed shows " 連線錯誤 !" and writes nothing.
    void sendCommand(const QString &text);
    /// sendCommand(query), wait 50 ms, return everything received, untouched.
    QString TimedQuery(const QString &query);
    /// Writes "?VM" and a carriage return as one write, waits 200 ms, and tells
    /// whether anything at all has been received (also bytes that came before, and
    /// half a character).
    bool LinkProbe();

    /// Raw writes, without the closed-port message; false when nothing was written.
    bool writeRaw(const QByteArray &bytes);
    bool writeText(const QString &text);
    /// The text, then a carriage return as a second write, without the closed-port
    /// message (the polls and the teach dialog's commands); false if not all went.
    bool writeLine(const QString &text);
    /// Everything received so far, as text. The receive side is one Big5 stream for
    /// the life of a connection: a character split between two reads is joined.
    QString readText();
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
    /// outermost. Every call of the link is an action of its own when no scope is open.
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

    static QString linkErrorText();
    static QString notRespondingText();
    /// For a locate: the notice naming the first character of @p text that Big5
    /// cannot carry, which would reach the controller as "?" and move the axes
    /// elsewhere ("X軸距離「12😀」中的「😀」無法以 Big5 傳送, 請修改後再定位!"), or the
    /// empty text when @p text can be sent. @p what names the text for the operator.
    static QString locateRefusal(const QString &what, const QString &text);
    /// The refusal of the first of a locate's targets ({what, text}) that cannot be
    /// sent, or the empty text when all can: a locate goes out whole or not at all,
    /// since half of one would move one axis only.
    static QString locateRefusal(std::initializer_list<std::pair<QString, QString>> targets);

private:
    struct Received
    {
        QString text;
        qsizetype bytes = 0;
    };
    Received receive();

    // Transitions (see LinkState).
    void opened();
    void lineFailed();
    void lossReported();
    void actionEnded();
    void closed();

    /// Applies what the port reports: a failure, or an open or close done without
    /// the link.
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
    PollHold m_polls;
    HoldingOperator m_op;
    LinkState m_state = LinkState::Closed;
    /// Nesting of Operation scopes.
    int m_depth = 0;
    Big5StreamDecoder m_decoder;
    qint64 m_sentSinceDrain = 0;
    std::vector<LineTrafficObserver *> m_observers;
};

} // namespace talvex

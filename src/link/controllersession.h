#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>
#include <utility>

namespace talvex {

class Line;

/// The controller's interactive commands, spelled here and nowhere else in the
/// station. Each call is one exchange on the line and does nothing once the line has
/// been lost (and the loss told) within the action that runs, so a caller looks at the
/// line once, at the start of its action.
///
/// Two ways of sending exist, as the controller's station has always used them:
/// commands (the text, then a carriage return as a second write) that tell the
/// operator " 連線錯誤 !" when the line is down, and quiet writes of the same shape
/// for the polls and the teach dialog, which look at the line themselves.
class ControllerSession
{
public:
    /// Wait after the probe before its answer is read.
    static constexpr int kProbeWaitMs = 200;

    explicit ControllerSession(Line &line);

    Line &line() { return m_line; }

    /// "?VM" and a carriage return as one write, 200 ms, then whether anything at all
    /// has been received (also bytes that came before, and half a character).
    bool probe();
    /// ESC ESC, then "EC 0": whatever program the controller runs stops.
    void stopProgram();
    /// "EC 1", sent at exit; waits until it has left.
    void endProgram();
    /// ESC ESC, "DL", every line of @p program, one empty line; then waits until every
    /// byte has left, showing progress on a slow line. False when the line died.
    bool download(const QStringList &program);
    /// "SAVE P": the downloaded program is stored.
    void storeProgram();
    /// "G": the downloaded program starts.
    void runProgram();
    /// Waits until what was sent last has left (before the port is closed).
    void finishSending();
    /// "H": both axes to their origin.
    void home();
    /// "XMA " + @p x and "YMA " + @p y as commands: each tells a closed line.
    void sendMoveTo(const QString &x, const QString &y);
    /// The same two lines as quiet writes, for the teach dialog.
    void moveTo(const QString &x, const QString &y);
    /// "HON": the axes are held (numeric input). "HOFF": free for hand moves.
    void holdOn();
    void holdOff();
    /// Empties the receive side, "?INP", 50 ms, the answer; nothing when the line went.
    std::optional<QString> readInputs();
    /// "?VA": the controller's acceleration, as received.
    std::optional<QString> readAcceleration();
    /// "SET Pn" or "CLR Pn"; false when it was not sent.
    bool setOutput(int n, bool on);
    /// "?PEX" and "?PEY": the positions, as received.
    std::optional<QString> readPositionX();
    std::optional<QString> readPositionY();

    /// The notice naming the first character of @p text that Big5 cannot carry, which
    /// would reach the controller as "?" and move the axes elsewhere
    /// ("X軸距離「12😀」中的「😀」無法以 Big5 傳送, 請修改後再定位!"), or the empty text
    /// when @p text can be sent. @p what names the text for the operator.
    static QString locateRefusal(const QString &what, const QString &text);
    /// The refusal of the first of a locate's targets ({what, text}) that cannot be
    /// sent, or the empty text when all can: a locate goes out whole or not at all,
    /// since half of one would move one axis only.
    static QString locateRefusal(std::initializer_list<std::pair<QString, QString>> targets);

private:
    std::optional<QString> query(const QString &command);
    void escapeTwice();

    Line &m_line;
};

} // namespace talvex

#pragma once

#include <QString>

namespace talvex::sim {

class Controller;
class LineSession;

/// The control commands that tests, scripts and a curious operator use to work the
/// simulated machine from outside: flip inputs, move the axes by hand, read
/// positions, outputs and the program's state. One command a line, one reply line
/// each; a reply starts with the command's name, "ok", "bye" or "error".
class ControlChannel
{
public:
    /// Most junk one "blast" sends: a flood far beyond any reply, yet bounded.
    static constexpr int kMaxBlast = 8 * 1024 * 1024;
    /// The longest command line that is run; the longest command is a few dozen bytes.
    static constexpr int kMaxLine = 64 * 1024;
    /// An unknown command is named in its reply up to this many characters.
    static constexpr int kMaxEcho = 80;

    ControlChannel(Controller &controller, LineSession &session);

    /// Runs one command line and returns its reply (without a line end).
    QString execute(const QString &line);
    /// "quit" was given.
    bool quitRequested() const { return m_quit; }

    /// The reply to a line longer than kMaxLine, which is not run.
    static QString lineTooLongReply();

    /// The list of commands, for --help and "help".
    static QString helpText();

private:
    /// The machine's state, and a capture write that failed.
    QString state() const;
    QString machineState() const;

    Controller &m_controller;
    LineSession &m_session;
    bool m_quit = false;
};

} // namespace talvex::sim

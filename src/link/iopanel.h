#pragma once

#include <array>
#include <cstddef>

namespace talvex {

class ControllerSession;
class Line;
class LinkView;

/// What was last sent for each output: true after "SET Pn", false after "CLR Pn" or
/// before anything was sent. Kept while the link is down.
struct OutputLatch
{
    static constexpr int kOutputs = 8;
    /// Index n-1 holds output n.
    std::array<bool, kOutputs> on{};

    bool operator()(int n) const { return on[static_cast<std::size_t>(n) - 1]; }
    void set(int n, bool value) { on[static_cast<std::size_t>(n) - 1] = value; }
};

/// Clears the sixteen input boxes, from 1 up.
void clearInputs(LinkView &view);

/// Reads the input word ("?INP") into the input boxes and the controller's
/// acceleration ("?VA") into the readout. With the port closed shows the
/// not-responding message and "未連線".
void pollInputs(ControllerSession &session, LinkView &view);

/// Sends "SET Pn" / "CLR Pn" for every output box whose state differs from its
/// latch, outputs 1 to 8 in order. Relies on pollInputs() having found the port open.
void syncOutputs(ControllerSession &session, LinkView &view, OutputLatch &latch);

/// An input box was clicked: with the port closed the operator is told; otherwise
/// nothing happens (the next poll overwrites the box).
void inputBoxClicked(Line &line, LinkView &view);

} // namespace talvex

#pragma once

#include <QtGlobal>

#include <algorithm>

/// Reading a line no faster than its baud rate: a byte takes ten bit times on the wire,
/// and an idle line banks no more than a few ms of credit, so bytes that were not sent
/// then cannot arrive early now. The pseudo-terminal and the TCP port pace alike.
struct LinePace
{
    double bytesPerMs = 0.0;
    double credit = 0.0;
    double lastCredit = 0.0;

    bool paced() const { return bytesPerMs > 0.0; }
    /// @p baud 0: not paced.
    void start(int baud, double now)
    {
        bytesPerMs = baud > 0 ? baud / 10.0 / 1000.0 : 0.0;
        lastCredit = now;
        credit = 0.0;
    }
    /// The bytes the line may carry by @p now.
    qint64 allowance(double now)
    {
        const double cap = std::max(1.0, bytesPerMs * 20.0);
        credit = std::min(cap, credit + (now - lastCredit) * bytesPerMs);
        lastCredit = now;
        return static_cast<qint64>(credit);
    }
    void spend(qint64 bytes) { credit -= static_cast<double>(bytes); }
};

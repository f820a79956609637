#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace talvex {

/// Watches every byte that goes over the controller's line, in both directions: the
/// traffic log window is one. The link tells its observers about each write that went
/// out (the escapes, the probe and the carriage returns as well) and each read that
/// brought something, in the order they happened.
class LineTrafficObserver
{
public:
    enum class Direction
    {
        Sent,
        Received
    };

    virtual ~LineTrafficObserver();

    /// @p bytes went over the line at @p msecsSinceEpoch (wall-clock time). Called in
    /// the middle of exchanges whose timing matters: it must be cheap, and it must
    /// neither use the line nor show anything.
    virtual void lineTraffic(Direction direction, const QByteArray &bytes, qint64 msecsSinceEpoch) = 0;
};

} // namespace talvex

#pragma once

#include "core/big5.h"
#include "sim/engine/clock.h"
#include "sim/engine/interpreter.h"
#include "sim/engine/machine.h"
#include "sim/engine/program.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace talvex::sim::testing {

/// Program lines as they come over the line: Big5 bytes.
inline QList<QByteArray> toLine(const QStringList &lines)
{
    QList<QByteArray> out;
    for (const QString &line : lines)
        out << encodeBig5(line).bytes;
    return out;
}

/// What the station puts on the line to download @p lines: ESC ESC, "DL", each line
/// with its CR, then the empty line that ends the download.
inline QByteArray downloadBytes(const QStringList &lines)
{
    QByteArray bytes = "\x1b\x1b"
                       "DL\r";
    for (const QByteArray &line : toLine(lines))
        bytes += line + '\r';
    return bytes + '\r';
}

inline Program programOf(const QStringList &lines)
{
    return Program(toLine(lines));
}

/// The worked example's program as the station's compiler emits it (VM 50; LOOP 3;
/// POINT IN 5 X 100 Y 200 OUT 1; WT 1000; LOOPEND; HOME; acceleration 2000).
inline QStringList workedExample()
{
    return QStringLiteral("{|CLR VAR;|VA 2000;|SI #IN;|SI #OUT;|SI #L1;|$MAIN:;|VM=50;|#L1=3;|$LOOP1:;|WI 3;|WI 1;|"
                          "XMA 100;|YMA 200;|DN;|OUTP 1;|WT 1000;|#L1=#L1-1;|JNZ #L1,$LOOP1;|XH;|YH;|DN;|JP $END;|"
                          "$END:;|}")
        .split(QLatin1Char('|'));
}

/// Advances @p clock in steps of @p stepMs, running the interpreter at each, until it
/// is no longer running or @p limitMs has passed.
inline void runFor(Interpreter &run, ManualClock &clock, double limitMs, double stepMs = 5.0)
{
    const double end = clock.nowMs() + limitMs;
    run.advance(clock.nowMs());
    while (run.running() && clock.nowMs() < end) {
        clock.advance(stepMs);
        run.advance(clock.nowMs());
    }
}

} // namespace talvex::sim::testing

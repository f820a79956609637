#include "sim/engine/machine.h"

namespace talvex::sim {

void Machine::setInput(int k, bool on)
{
    if (k < 1 || k > kInputs)
        return;
    const auto bit = static_cast<quint16>(1U << (k - 1));
    inputs = static_cast<quint16>(on ? (inputs | bit) : (inputs & ~bit));
}

void Machine::setOutput(int n, bool on)
{
    if (n < 1 || n > kOutputs)
        return;
    const auto bit = static_cast<quint8>(1U << (n - 1));
    outputs = static_cast<quint8>(on ? (outputs | bit) : (outputs & ~bit));
}

void Machine::halt(double nowMs)
{
    x.halt(nowMs);
    y.halt(nowMs);
}

Machine::Jog Machine::jog(char axis, double delta, double nowMs)
{
    if (!handFree)
        return Jog::HandHeld;
    Axis &a = axis == 'x' ? x : y;
    if (a.moving(nowMs))
        return Jog::Moving;
    a.place(a.position(nowMs) + delta);
    return Jog::Done;
}

} // namespace talvex::sim

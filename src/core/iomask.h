#pragma once

#include "core/textnumber.h"

#include <QList>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <optional>

namespace talvex {

/// Check states of N input or output boxes; index k-1 holds box k.
template <std::size_t N> using MaskBoxes = std::array<bool, N>;

/// One pass of a mask over N boxes.
template <std::size_t N> struct MaskSweep
{
    MaskBoxes<N> boxes{};
    /// What the pass left of the mask: 0 for a mask of 1..2^N-1. A mask above that
    /// range checks every box and leaves the excess here.
    qint64 rest = 0;
};

/// The station's one reading of an I/O mask (bit k-1 stands for box k), shared by the
/// I/O panel, the teach dialog and the compiler: from box N down to box 1, a box is
/// checked when its value 2^(k-1) fits in what is left of the mask, and that value is
/// then taken off. A mask of 0 or less names no box and gives nullopt; what that means
/// for the boxes (cleared, or left as they are) is the caller's to say.
template <std::size_t N> std::optional<MaskSweep<N>> sweepMask(qint64 mask)
{
    static_assert(N >= 1 && N <= 16, "the controller has 16 inputs and 8 outputs");
    if (mask <= 0)
        return std::nullopt;
    MaskSweep<N> sweep;
    for (std::size_t k = N; k >= 1; --k) {
        const qint64 value = qint64(1) << (k - 1);
        if (mask >= value) {
            mask -= value;
            sweep.boxes[k - 1] = true;
        }
    }
    sweep.rest = mask;
    return sweep;
}

/// sweepMask() of a mask kept as text (a table cell, the controller's reply): its
/// leading number rounded to a whole number, so a text without a number reads as 0.
template <std::size_t N> std::optional<MaskSweep<N>> sweepMask(QStringView text)
{
    return sweepMask<N>(wholeNumberOf(text));
}

/// The inputs a point's mask makes the program wait for, in the order it waits
/// (input 16 first), at most @p limit of them. The sweep over the 16 inputs repeats
/// while something of the mask is left, so a mask above 65535 waits again from the
/// top; the limit keeps a huge mask from running on. A mask of 0 or less, or a text
/// without a number, waits for nothing.
inline QList<int> inputWaitOrder(QStringView mask, int limit)
{
    constexpr std::size_t kInputs = 16;
    QList<int> order;
    for (auto sweep = sweepMask<kInputs>(mask); sweep && order.size() < limit;
         sweep = sweepMask<kInputs>(sweep->rest)) {
        for (std::size_t k = kInputs; k >= 1 && order.size() < limit; --k) {
            if (sweep->boxes[k - 1])
                order << static_cast<int>(k);
        }
    }
    return order;
}

/// The mask a set of boxes is stored as: the sum of 2^(k-1) over every checked box k.
template <std::size_t N> quint32 maskOf(const MaskBoxes<N> &boxes)
{
    quint32 mask = 0;
    for (std::size_t k = 1; k <= N; ++k) {
        if (boxes[k - 1])
            mask += quint32(1) << (k - 1);
    }
    return mask;
}

} // namespace talvex

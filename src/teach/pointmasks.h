#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace talvex {

/// Check states of N boxes; index k-1 holds box k.
template <std::size_t N> using Boxes = std::array<bool, N>;

/// The boxes a stored mask stands for, decided from the highest box down: each box's
/// value is taken off the mask when it fits. A mask of 0 or less leaves the boxes as
/// they are (nullopt); a mask above the valid range checks every box.
template <std::size_t N> std::optional<Boxes<N>> decodeMask(long long mask)
{
    if (mask <= 0)
        return std::nullopt;
    Boxes<N> boxes{};
    for (std::size_t k = N; k >= 1; --k) {
        const long long value = 1LL << (k - 1);
        if (mask >= value) {
            mask -= value;
            boxes[k - 1] = true;
        }
    }
    return boxes;
}

/// Sum of 2^(k-1) over every checked box k.
template <std::size_t N> unsigned long maskOf(const Boxes<N> &boxes)
{
    unsigned long mask = 0;
    for (std::size_t k = 1; k <= N; ++k) {
        if (boxes[k - 1])
            mask += 1UL << (k - 1);
    }
    return mask;
}

} // namespace talvex

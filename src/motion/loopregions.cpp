#include "motion/loopregions.h"

namespace talvex {

namespace {

using Kind = FlowStep::Kind;

bool keepsToItself(const std::vector<FlowStep> &steps, const std::vector<LoopRegion> &regions, int k, int loops)
{
    const LoopRegion &region = regions[static_cast<size_t>(k)];
    // The foot must jump back to this loop's own label, right behind its head.
    if (steps[region.foot].jumpTo != static_cast<int>(region.head) + 1)
        return false;
    auto inside = [&](int index) {
        return index > static_cast<int>(region.head) && index <= static_cast<int>(region.foot);
    };
    for (size_t i = region.head + 1; i < region.foot; ++i) {
        const FlowStep &s = steps[i];
        if (s.kind == Kind::Jump && !inside(s.jumpTo))
            return false;
        if (s.kind == Kind::CountDown) {
            if (s.number == k || s.number < 1 || s.number > loops || !inside(s.jumpTo))
                return false;
            const size_t head = regions[static_cast<size_t>(s.number)].head;
            if (head <= region.head || head >= region.foot)
                return false;
        }
    }
    return true;
}

} // namespace

std::vector<LoopRegion> findLoopRegions(const std::vector<FlowStep> &steps, int loops)
{
    std::vector<LoopRegion> regions(static_cast<size_t>(loops) + 1);
    std::vector<int> feet(static_cast<size_t>(loops) + 1, 0);
    for (size_t i = 0; i < steps.size(); ++i) {
        const FlowStep &s = steps[i];
        if (s.number < 1 || s.number > loops)
            continue;
        const auto k = static_cast<size_t>(s.number);
        if (s.kind == Kind::SetCounter)
            regions[k].head = i;
        else if (s.kind == Kind::CountDown && feet[k]++ == 0)
            regions[k].foot = i;
    }
    for (int k = 1; k <= loops; ++k) {
        LoopRegion &region = regions[static_cast<size_t>(k)];
        if (feet[static_cast<size_t>(k)] != 1 || region.foot <= region.head)
            continue;
        for (int j = 1; j <= loops; ++j) {
            const size_t head = regions[static_cast<size_t>(j)].head;
            if (head > region.head && head < region.foot)
                region.inner.push_back(j);
        }
        region.selfContained = keepsToItself(steps, regions, k, loops);
    }
    return regions;
}

} // namespace talvex

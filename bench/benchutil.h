#pragma once

// Small helpers shared by the benchmarks: timing, medians, and one result line per
// figure that scripts/bench gathers into its table.

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace talvex::bench {

/// Median of @p runs timings of @p work, in milliseconds.
inline double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    times.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

/// One line of the result table: what was measured, the figure, the target, whether
/// the target is met, and how the figure came about.
inline void report(const QString &what, const QString &figure, const QString &target, bool met, const QString &detail)
{
    std::printf("RESULT\t%s\t%s\t%s\t%s\t%s\n", qPrintable(what), qPrintable(figure), qPrintable(target),
                met ? "met" : "NOT MET", qPrintable(detail));
    std::fflush(stdout);
}

} // namespace talvex::bench

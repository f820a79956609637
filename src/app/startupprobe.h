#pragma once

// The start-up benchmark's probe, shared by the station and the minimal window it is
// measured against so that both report the same way: with TALVEX_BENCH_EXIT_WHEN_SHOWN
// set, the program prints "shown rss_kb=N" once its window is up, and quits.

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace talvex {

/// A field of this process's /proc/self/status in kB (Linux), such as "VmRSS:" (the
/// resident memory) or "VmHWM:" (its peak); -1 where it cannot be read.
inline long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

/// Resident memory of this process in kB (Linux), -1 where it cannot be read.
inline long residentKb()
{
    return statusKb("VmRSS:");
}

/// Call right after @p window is shown.
inline void armStartupProbe(QWidget &window)
{
    if (!qEnvironmentVariableIsSet("TALVEX_BENCH_EXIT_WHEN_SHOWN"))
        return;
    QTimer::singleShot(0, &window, [] {
        std::printf("shown rss_kb=%ld\n", residentKb());
        std::fflush(stdout);
        QApplication::quit();
    });
}

} // namespace talvex

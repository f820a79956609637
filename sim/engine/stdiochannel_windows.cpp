#include "sim/engine/stdiochannel.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <atomic>
#include <thread>

#include "core/windowsapi.h"

// Windows cannot watch a pipe or a console from the event loop, so a thread reads
// standard input and hands each piece to the channel on the main thread. The thread
// blocks in ReadFile until input comes or ends; at exit it is simply left behind.

namespace talvex::sim {

namespace {

std::atomic<bool> g_stopped{false};

} // namespace

void StdioChannel::startReading()
{
    QPointer<StdioChannel> channel(this);
    std::thread([channel] {
        const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        char buffer[4096];
        for (;;) {
            DWORD n = 0;
            const bool read = input != nullptr && input != INVALID_HANDLE_VALUE &&
                              ReadFile(input, buffer, sizeof buffer, &n, nullptr) && n > 0;
            if (g_stopped)
                return;
            const QByteArray bytes = read ? QByteArray(buffer, static_cast<qsizetype>(n)) : QByteArray();
            // The channel is looked at on the main thread only, where it lives.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [channel, bytes, read] {
                    if (!channel || g_stopped)
                        return;
                    if (read)
                        channel->take(bytes);
                    else
                        channel->ended();
                },
                Qt::QueuedConnection);
            if (!read)
                return;
        }
    }).detach();
}

void StdioChannel::stopReading()
{
    g_stopped = true;
}

} // namespace talvex::sim

#include "sim/engine/stdiochannel.h"

#include <QSocketNotifier>

#include <unistd.h>

namespace talvex::sim {

void StdioChannel::startReading()
{
    m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0)
            ended();
        else
            take(QByteArray(buffer, static_cast<qsizetype>(n)));
    });
}

void StdioChannel::stopReading()
{
    m_notifier->setEnabled(false);
}

} // namespace talvex::sim

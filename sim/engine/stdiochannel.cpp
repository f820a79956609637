#include "sim/engine/stdiochannel.h"

#include <QSocketNotifier>

#include <cstdio>

#include <unistd.h>

namespace talvex::sim {

StdioChannel::StdioChannel(ControlChannel &channel, QObject *parent) : QObject(parent), m_channel(channel)
{
    m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StdioChannel::readInput);
}

void StdioChannel::writeLine(const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void StdioChannel::readInput()
{
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        // End of input (or an error that will not go away): stop watching, or the
        // notifier would fire for ever.
        m_notifier->setEnabled(false);
        Q_EMIT closed();
        return;
    }
    m_partial.append(buffer, static_cast<qsizetype>(n));
    qsizetype end = 0;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_partial.left(end)).trimmed();
        m_partial.remove(0, end + 1);
        if (line.isEmpty())
            continue;
        writeLine(m_channel.execute(line));
        if (m_channel.quitRequested()) {
            m_notifier->setEnabled(false);
            Q_EMIT quitRequested();
            return;
        }
    }
}

} // namespace talvex::sim

#include "sim/engine/stdiochannel.h"

#include <QSocketNotifier>

#include <cstdio>

#include <unistd.h>

namespace talvex::sim {

StdioChannel::StdioChannel(ControlChannel &channel, QObject *parent)
    : QObject(parent), m_channel(channel), m_reader(ControlChannel::kMaxLine)
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
    // Every line is answered, an empty one and one too long to run included, so a
    // script that waits for one reply a line never waits for ever.
    for (const ControlLineReader::Line &line : m_reader.feed(QByteArray(buffer, static_cast<qsizetype>(n)))) {
        writeLine(line.tooLong ? ControlChannel::lineTooLongReply() : m_channel.execute(QString::fromUtf8(line.text)));
        if (m_channel.quitRequested()) {
            m_notifier->setEnabled(false);
            Q_EMIT quitRequested();
            return;
        }
    }
}

} // namespace talvex::sim

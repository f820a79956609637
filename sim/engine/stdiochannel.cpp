#include "sim/engine/stdiochannel.h"

#include <cstdio>

namespace talvex::sim {

StdioChannel::StdioChannel(ControlChannel &channel, QObject *parent)
    : QObject(parent), m_channel(channel), m_reader(ControlChannel::kMaxLine)
{
    startReading();
}

StdioChannel::~StdioChannel()
{
    stopReading();
}

void StdioChannel::writeLine(const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void StdioChannel::ended()
{
    // End of input (or an error that will not go away): stop watching, or the
    // notifier would fire for ever.
    stopReading();
    Q_EMIT closed();
}

void StdioChannel::take(const QByteArray &bytes)
{
    // Every line is answered, an empty one and one too long to run included, so a
    // script that waits for one reply a line never waits for ever.
    for (const ControlLineReader::Line &line : m_reader.feed(bytes)) {
        writeLine(line.tooLong ? ControlChannel::lineTooLongReply() : m_channel.execute(QString::fromUtf8(line.text)));
        if (m_channel.quitRequested()) {
            stopReading();
            Q_EMIT quitRequested();
            return;
        }
    }
}

} // namespace talvex::sim

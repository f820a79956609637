#pragma once

#include "sim/engine/controlchannel.h"
#include "sim/engine/controllinereader.h"

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

namespace talvex::sim {

/// The control channel on standard input and output: each command line read from
/// standard input is answered by one line on standard output, flushed at once so a
/// parent process can wait for it.
class StdioChannel : public QObject
{
    Q_OBJECT

public:
    StdioChannel(ControlChannel &channel, QObject *parent = nullptr);
    ~StdioChannel() override;

    /// Writes one line to standard output and flushes it.
    static void writeLine(const QString &text);

Q_SIGNALS:
    void quitRequested();
    /// Standard input reached its end.
    void closed();

private:
    /// Starts watching standard input; each piece read goes to take(), the end to
    /// ended(). One small file per platform.
    void startReading();
    void stopReading();
    void take(const QByteArray &bytes);
    void ended();

    ControlChannel &m_channel;
    /// Watches standard input where the system can (not on Windows, where a thread reads).
    QSocketNotifier *m_notifier = nullptr;
    ControlLineReader m_reader;
};

} // namespace talvex::sim

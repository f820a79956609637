#include "sim/engine/simoptions.h"

#include "sim/engine/controlchannel.h"
#include "sim/engine/program.h"
#include "sim/engine/programstore.h"

#include <QCommandLineParser>
#include <QHostAddress>

namespace talvex::sim {

namespace {

const QString kPrefix = QStringLiteral("talvex-sim: ");

bool readCount(const QCommandLineParser &parser, const QCommandLineOption &option, int *value, QString *message)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const int v = parser.value(option).toInt(&ok);
    if (!ok || v < 0) {
        *message = QStringLiteral("--%1 expects a whole number of 0 or more (got \"%2\")")
                       .arg(option.names().constFirst(), parser.value(option));
        return false;
    }
    *value = v;
    return true;
}

bool readBaud(const QCommandLineParser &parser, const QCommandLineOption &option, int *value, QString *message)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const int v = parser.value(option).toInt(&ok);
    if (!ok || v < SimOptions::kMinBaud || v > SimOptions::kMaxBaud) {
        *message = QStringLiteral("--baud expects a whole number from %1 to %2 (got \"%3\")")
                       .arg(SimOptions::kMinBaud)
                       .arg(SimOptions::kMaxBaud)
                       .arg(parser.value(option));
        return false;
    }
    *value = v;
    return true;
}

// A file option names a file; the empty text would quietly turn the option off.
bool readPath(const QCommandLineParser &parser, const QCommandLineOption &option, QString *value, QString *message)
{
    if (!parser.isSet(option))
        return true;
    *value = parser.value(option);
    if (value->isEmpty()) {
        *message = QStringLiteral("--%1 expects a file name (got the empty text)").arg(option.names().constFirst());
        return false;
    }
    return true;
}

// "[HOST:]PORT": a port from 0 (the system picks one) to 65535, on an address (an
// IPv6 one in brackets); no name is looked up.
bool readListen(const QCommandLineParser &parser, const QCommandLineOption &option, SimOptions *options,
                QString *message)
{
    if (!parser.isSet(option))
        return true;
    const QString text = parser.value(option);
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    QString host = colon < 0 ? options->listenHost : text.left(colon);
    const QString portText = colon < 0 ? text : text.mid(colon + 1);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const uint port = portText.toUInt(&ok);
    if (!ok || port > 65535) {
        *message = QStringLiteral("--listen expects [HOST:]PORT with PORT from 0 to 65535 (got \"%1\")").arg(text);
        return false;
    }
    if (QHostAddress(host).isNull()) {
        *message = QStringLiteral("--listen %1: \"%2\" is not an IP address").arg(text, host);
        return false;
    }
    options->listenHost = host;
    options->listenPort = static_cast<int>(port);
    return true;
}

} // namespace

QString listenAddress(const QString &host, quint16 port)
{
    const bool v6 = host.contains(QLatin1Char(':'));
    return QStringLiteral("tcp://%1%2%3:%4")
        .arg(v6 ? QStringLiteral("[") : QString(), host, v6 ? QStringLiteral("]") : QString())
        .arg(port);
}

QString listenAnnouncement(const QString &host, quint16 port)
{
    return kPrefix + listenAddress(host, port);
}

QString deviceAnnouncement(const QString &devicePath)
{
    return kPrefix + devicePath;
}

QString deviceFromAnnouncement(const QString &line)
{
    const QString text = line.trimmed();
    if (!text.startsWith(kPrefix))
        return QString();
    return text.mid(kPrefix.size());
}

ParseResult parseSimOptions(const QStringList &arguments, SimOptions *options, QString *message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A virtual TALVEX controller on a pseudo-terminal. The first line on standard output is\n"
                       "\"talvex-sim: DEVICE\"; open DEVICE as the serial line (talvex-station --device 1=DEVICE).\n"
                       "With --listen a second line \"talvex-sim: tcp://HOST:PORT\" says where the line is served.\n"
                       "Standard input takes control commands, one a line, each answered by one line:\n\n") +
        ControlChannel::helpText());
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    const QCommandLineOption headless(QStringLiteral("headless"),
                                      QStringLiteral("No window: driven through the control commands only."));
    const QCommandLineOption attached(QStringLiteral("attached"),
                                      QStringLiteral("End when standard input closes (for a parent program)."));
    const QCommandLineOption link(
        QStringLiteral("link"),
        QStringLiteral("Publish the device as a symbolic link at PATH (removed at exit). Nothing may exist at PATH."),
        QStringLiteral("PATH"));
    const QCommandLineOption store(
        QStringLiteral("store"),
        QStringLiteral("Keep the program saved by \"SAVE P\" in FILE (default %1): a regular file or a new name in an "
                       "existing folder. It is loaded at start; a file of more than %2 lines is refused.")
            .arg(ProgramStore::defaultPath())
            .arg(Program::kMaxLines),
        QStringLiteral("FILE"));
    const QCommandLineOption echo(QStringLiteral("echo"),
                                  QStringLiteral("Send every received line back before its reply."));
    const QCommandLineOption delay(QStringLiteral("reply-delay"), QStringLiteral("Hold every reply back MS ms."),
                                   QStringLiteral("MS"));
    const QCommandLineOption baud(
        QStringLiteral("baud"),
        QStringLiteral("Read the line no faster than N baud allows (N/10 bytes a second), N from %1 to %2.")
            .arg(SimOptions::kMinBaud)
            .arg(SimOptions::kMaxBaud),
        QStringLiteral("N"));
    const QCommandLineOption capture(
        QStringLiteral("capture"),
        QStringLiteral("Write every received byte, raw, to the new file FILE (an existing file is refused)."),
        QStringLiteral("FILE"));
    const QCommandLineOption captureAppend(
        QStringLiteral("capture-append"),
        QStringLiteral("Write every received byte, raw, to the end of FILE, which is created if need be."),
        QStringLiteral("FILE"));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Never send anything on the line."));
    const QCommandLineOption garbage(QStringLiteral("garbage"), QStringLiteral("Answer every query with junk."));
    const QCommandLineOption scale(
        QStringLiteral("time-scale"),
        QStringLiteral("Run the machine F times faster than real time (tests), F from %1 to %2.")
            .arg(SimOptions::kMinTimeScale)
            .arg(SimOptions::kMaxTimeScale),
        QStringLiteral("F"));
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Serve the line on TCP as well, raw bytes, one station at a time (a second connection is "
                       "closed at once), on 127.0.0.1 unless HOST (an address) is given; PORT 0 lets the system "
                       "choose."),
        QStringLiteral("[HOST:]PORT"));
    parser.addOptions({help, version, headless, attached, link, store, echo, delay, baud, capture, captureAppend,
                       silent, garbage, scale, listen});

    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return ParseResult::Error;
    }
    if (parser.isSet(help)) {
        *message = parser.helpText();
        return ParseResult::Help;
    }
    if (parser.isSet(version))
        return ParseResult::Version;
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst());
        return ParseResult::Error;
    }

    SimOptions o;
    o.headless = parser.isSet(headless);
    o.attached = parser.isSet(attached);
    o.store = ProgramStore::defaultPath();
    o.line.echo = parser.isSet(echo);
    o.line.silent = parser.isSet(silent);
    o.line.garbage = parser.isSet(garbage);
    if (parser.isSet(capture) && parser.isSet(captureAppend)) {
        *message = QStringLiteral("give --capture or --capture-append, not both");
        return ParseResult::Error;
    }
    o.captureAppend = parser.isSet(captureAppend);
    if (!readPath(parser, link, &o.link, message) || !readPath(parser, store, &o.store, message) ||
        !readPath(parser, o.captureAppend ? captureAppend : capture, &o.capture, message) ||
        !readCount(parser, delay, &o.line.replyDelayMs, message) || !readBaud(parser, baud, &o.baud, message) ||
        !readListen(parser, listen, &o, message))
        return ParseResult::Error;
    if (parser.isSet(scale)) {
        bool ok = false;
        o.timeScale = parser.value(scale).toDouble(&ok);
        // Written so that NaN fails too. Far below the range the machine's clock all
        // but stops (at 1e-300 no wait ever ends); far above it whole programs pass
        // within one tick.
        if (!ok || !(o.timeScale >= SimOptions::kMinTimeScale && o.timeScale <= SimOptions::kMaxTimeScale)) {
            *message = QStringLiteral("--time-scale expects a number from %1 to %2 (got \"%3\")")
                           .arg(SimOptions::kMinTimeScale)
                           .arg(SimOptions::kMaxTimeScale)
                           .arg(parser.value(scale));
            return ParseResult::Error;
        }
    }
    *options = o;
    return ParseResult::Run;
}

} // namespace talvex::sim

#include "app/commandline.h"

#include "link/networkaddress.h"
#include "link/portmap.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>

namespace talvex {

namespace {

// The options QGuiApplication and QApplication take out of argv for themselves,
// written with one dash or two. They are skipped here and left to QApplication.
constexpr const char *kQtOptionsWithValue[] = {"platform",
                                               "platformpluginpath",
                                               "platformtheme",
                                               "plugin",
                                               "qwindowgeometry",
                                               "qwindowicon",
                                               "qwindowtitle",
                                               "session",
                                               "display",
                                               "geometry",
                                               "title",
                                               "icon",
                                               "name",
                                               "visual",
                                               "style",
                                               "stylesheet"};
constexpr const char *kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "testability", "qdebug", "qdevel"};
constexpr const char *kQtOptionsWithJoinedValue[] = {"style", "stylesheet", "qmljsdebugger"};

template <size_t N> bool listed(const char *const (&names)[N], QStringView name)
{
    return std::any_of(std::begin(names), std::end(names), [name](const char *n) { return name == QLatin1String(n); });
}

QStringList withoutQtOptions(const QStringList &arguments, bool *platformGiven)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--")) {
            kept << arguments.mid(i);
            break;
        }
        if (i == 0 || !argument.startsWith(QLatin1Char('-'))) {
            kept << argument;
            continue;
        }
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals > 0 && listed(kQtOptionsWithJoinedValue, QStringView(name).left(equals)))
            continue;
        if (listed(kQtOptionsWithValue, name) && i + 1 < arguments.size()) {
            *platformGiven = *platformGiven || name == QLatin1String("platform");
            ++i;
            continue;
        }
        if (listed(kQtFlags, name))
            continue;
        kept << argument;
    }
    return kept;
}

// QSerialPort takes a name without a folder as a device under /dev, but on the
// command line a relative path means a path from the working directory. A network
// address is no path at all.
QString withAbsolutePath(const QString &option, const QString &workingDirectory)
{
    const qsizetype equals = option.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return option;
    return option.left(equals + 1) + PortMap::absoluteDevicePath(option.mid(equals + 1), workingDirectory);
}

} // namespace

StationCommandLine::StationCommandLine()
    : m_helpOption(m_parser.addHelpOption()),
      m_versionOption(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                      QStringLiteral("Displays version information.")),
      m_deviceOption(QStringLiteral("device"),
                     QStringLiteral("Map menu entry COM<N> (1..4) to DEVICE: a serial device path (relative to the "
                                    "working directory unless absolute), or a device server on the network, "
                                    "tcp://HOST:PORT (raw bytes) or rfc2217://HOST:PORT (Telnet, RFC 2217); HOST "
                                    "is a name, an IPv4 address or an IPv6 address in brackets."),
                     QStringLiteral("N=DEVICE")),
      m_simulateOption(QStringLiteral("simulate"),
                       QStringLiteral("Start the virtual controller talvex-sim and map COM1..COM4 to its line."))
{
    m_parser.setApplicationDescription(QStringLiteral("TALVEX Station: program and teach a TALVEX X/Y controller"));
    m_parser.addOption(m_versionOption);
    m_parser.addOption(m_deviceOption);
    m_parser.addOption(m_simulateOption);
    m_parser.addPositionalArgument(QStringLiteral("PROGRAM.tvx"), QStringLiteral("A program file to open at start."),
                                   QStringLiteral("[PROGRAM.tvx]"));
}

StationCommandLine::Outcome StationCommandLine::parse(const QStringList &arguments, const QString &workingDirectory)
{
    m_mistake.clear();
    m_deviceOptions.clear();
    m_programFile.clear();
    m_platformGiven = false;
    if (!m_parser.parse(withoutQtOptions(arguments, &m_platformGiven))) {
        m_mistake = m_parser.errorText();
        return Outcome::Mistake;
    }
    if (m_parser.isSet(m_helpOption) || m_parser.isSet(QStringLiteral("help-all")))
        return Outcome::ShowHelp;
    // The version is text only: a machine without a display can still tell which
    // station it has installed.
    if (m_parser.isSet(m_versionOption))
        return Outcome::ShowVersion;
    const QStringList files = m_parser.positionalArguments();
    if (files.size() > 1) {
        m_mistake = QStringLiteral("unexpected argument \"%1\": one program file at most").arg(files.at(1));
        return Outcome::Mistake;
    }
    if (!files.isEmpty())
        m_programFile = QDir(workingDirectory).absoluteFilePath(files.constFirst());
    PortMap check;
    std::array<QString, PortMap::kPorts> given; // the option that led each port, if any
    for (const QString &option : m_parser.values(m_deviceOption)) {
        if (!check.applyOption(option, &m_mistake))
            return Outcome::Mistake;
        // Taking the last of two would run with a device the operator may not have
        // meant; the line is as likely mistyped as meant.
        const int number = option.left(option.indexOf(QLatin1Char('='))).toInt();
        QString &earlier = given.at(static_cast<size_t>(number) - 1);
        if (!earlier.isEmpty()) {
            m_mistake = QStringLiteral("--device may be given once per port, but \"%1\" and \"%2\" both lead COM%3")
                            .arg(earlier, option)
                            .arg(number);
            return Outcome::Mistake;
        }
        earlier = option;
        m_deviceOptions << withAbsolutePath(option, workingDirectory);
    }
    m_simulate = m_parser.isSet(m_simulateOption);
    return Outcome::RunStation;
}

std::optional<int> StationCommandLine::handleWithoutWindow(int &argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    switch (parse(arguments, QDir::currentPath())) {
    case Outcome::RunStation:
        return std::nullopt;
    case Outcome::ShowHelp: {
        // The help names the program as it was started, which it learns from an
        // application object; a core one needs no window system.
        const QCoreApplication core(argc, argv);
        std::fputs(qPrintable(helpText()), stdout);
        return 0;
    }
    case Outcome::ShowVersion:
        std::printf("talvex-station %s\n", TALVEX_VERSION);
        return 0;
    case Outcome::Mistake:
        break;
    }
    std::fprintf(stderr, "talvex-station: %s\nTry talvex-station --help.\n", qPrintable(m_mistake));
    return 2;
}

} // namespace talvex

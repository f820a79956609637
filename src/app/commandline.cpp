#include "app/commandline.h"

#include "link/networkaddress.h"
#include "link/portmap.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <algorithm>
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

bool isWindowsPortName(const QString &path)
{
#if defined(Q_OS_WIN)
    static const QRegularExpression portName(QStringLiteral("^COM[0-9]+$"), QRegularExpression::CaseInsensitiveOption);
    return portName.match(path).hasMatch();
#else
    Q_UNUSED(path);
    return false;
#endif
}

// QSerialPort takes a name without a folder as a device under /dev, but on the
// command line a relative path means a path from the working directory. A network
// address is no path at all.
QString withAbsolutePath(const QString &option, const QString &workingDirectory)
{
    const qsizetype equals = option.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return option;
    const QString path = option.mid(equals + 1);
    if (path.isEmpty() || !QDir::isRelativePath(path) || isWindowsPortName(path) || isNetworkDevice(path))
        return option;
    return option.left(equals + 1) + QDir(workingDirectory).absoluteFilePath(path);
}

} // namespace

StationCommandLine::StationCommandLine()
    : m_helpOption(m_parser.addHelpOption()),
      m_versionOption(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                      QStringLiteral("Displays version information.")),
      m_deviceOption(QStringLiteral("device"),
                     QStringLiteral("Map menu entry COM<N> (1..4) to the serial device PATH (relative to the "
                                    "working directory unless absolute)."),
                     QStringLiteral("N=PATH")),
      m_simulateOption(QStringLiteral("simulate"),
                       QStringLiteral("Start the virtual controller talvex-sim and map COM1..COM4 to its line."))
{
    m_parser.setApplicationDescription(QStringLiteral("TALVEX Station: program and teach a TALVEX X/Y controller"));
    m_parser.addOption(m_versionOption);
    m_parser.addOption(m_deviceOption);
    m_parser.addOption(m_simulateOption);
}

StationCommandLine::Outcome StationCommandLine::parse(const QStringList &arguments, const QString &workingDirectory)
{
    m_mistake.clear();
    m_deviceOptions.clear();
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
    if (!m_parser.positionalArguments().isEmpty()) {
        m_mistake = QStringLiteral("unexpected argument \"%1\"").arg(m_parser.positionalArguments().constFirst());
        return Outcome::Mistake;
    }
    PortMap check;
    for (const QString &option : m_parser.values(m_deviceOption)) {
        if (!check.applyOption(option, &m_mistake))
            return Outcome::Mistake;
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

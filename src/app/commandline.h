#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace talvex {

/// The station's command line. It is read before any window system starts, so that
/// --help and a mistaken command line need no display.
class StationCommandLine
{
public:
    enum class Outcome
    {
        RunStation,
        ShowHelp,
        ShowVersion,
        Mistake
    };

    StationCommandLine();

    /// Reads @p arguments (the program's name first). The window-system options Qt
    /// takes for itself (-platform, -style, ...) are left for QApplication. A device
    /// path given relative is taken from @p workingDirectory.
    Outcome parse(const QStringList &arguments, const QString &workingDirectory);

    /// For main(): reads the program's arguments and, when they do not ask for the
    /// station, prints the help or the version (exit status 0) or the mistake (exit
    /// status 2) and returns the exit status. Returns nothing when the station is to
    /// start.
    std::optional<int> handleWithoutWindow(int &argc, char **argv);

    QString helpText() const { return m_parser.helpText(); }
    const QString &mistake() const { return m_mistake; }
    bool simulate() const { return m_simulate; }
    /// Qt's -platform option was given: the window system is chosen, display or not.
    bool platformGiven() const { return m_platformGiven; }
    /// The --device options, each "N=PATH" with an absolute PATH (a Windows port name
    /// such as COM5 stays as it is), in the order given.
    const QStringList &deviceOptions() const { return m_deviceOptions; }
    /// The program file to open at start (absolute), or the empty text.
    const QString &programFile() const { return m_programFile; }

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_helpOption;
    QCommandLineOption m_versionOption;
    QCommandLineOption m_deviceOption;
    QCommandLineOption m_simulateOption;
    bool m_simulate = false;
    bool m_platformGiven = false;
    QStringList m_deviceOptions;
    QString m_programFile;
    QString m_mistake;
};

} // namespace talvex

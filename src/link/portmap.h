#pragma once

#include <QString>

#include <array>

namespace talvex {

/// Which device each of the menu's COM1..COM4 opens. The first of three that names
/// one wins: the device given for this run (the command line), the device the
/// operator chose in the station (kept per user, see portchoices.h), and the
/// platform's default, "COM1".."COM4" on Windows, "/dev/ttyS0".."/dev/ttyS3" on Linux.
/// The port looks the device up at every open, so a change applies from the next one.
class PortMap
{
public:
    static constexpr int kPorts = 4;

    /// Device of port @p number (1..4); the empty text for any other number.
    QString device(int number) const;
    /// For this run only: wins over the operator's choice and is never kept.
    void setDevice(int number, const QString &path);
    /// Maps every port to @p path for this run: the virtual controller's line.
    void setAll(const QString &path);
    /// The device given for this run, or the empty text.
    QString runDevice(int number) const;
    /// The device given for this run is the virtual controller's line (setAll), not
    /// one named with --device.
    bool leadsToSimulator(int number) const;

    /// The device the operator chose for port @p number; the empty text: the default.
    QString chosenDevice(int number) const;
    void setChosenDevice(int number, const QString &path);

    /// Applies one "N=PATH" option, PATH a device or a network address (see
    /// networkaddress.h); on a malformed option returns false and explains.
    bool applyOption(const QString &option, QString *error);

    static QString defaultDevice(int number);

    /// A path with a NUL in it names no device: the system would take only the part
    /// before the NUL, a device nobody chose.
    static bool holdsNul(const QString &path) { return path.contains(QChar(0)); }
    /// @p path as a mapping keeps it: a relative path taken from @p workingDirectory,
    /// since the serial port would take a name without a folder as one under /dev. An
    /// absolute path, the empty text and a Windows port name such as COM5 stay.
    static QString absoluteDevicePath(const QString &path, const QString &workingDirectory);

private:
    /// Given for this run; empty where none was.
    std::array<QString, kPorts> m_devices;
    /// Which of them is the virtual controller's line.
    std::array<bool, kPorts> m_simulated{};
    /// Chosen by the operator; empty for the default.
    std::array<QString, kPorts> m_chosen;
};

} // namespace talvex

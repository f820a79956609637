#pragma once

#include <QString>

#include <array>

namespace talvex {

/// Which device each of the menu's COM1..COM4 opens: "COM1".."COM4" on Windows,
/// "/dev/ttyS0".."/dev/ttyS3" on Linux, unless remapped on the command line.
class PortMap
{
public:
    static constexpr int kPorts = 4;

    PortMap();

    /// Device of port @p number (1..4); the empty text for any other number.
    QString device(int number) const;
    void setDevice(int number, const QString &path);
    /// Maps every port to @p path (the virtual controller's line).
    void setAll(const QString &path);

    /// Applies one "N=PATH" option; on a malformed option returns false and explains.
    bool applyOption(const QString &option, QString *error);

    static QString defaultDevice(int number);

private:
    std::array<QString, kPorts> m_devices;
};

} // namespace talvex

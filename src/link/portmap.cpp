#include "link/portmap.h"

#include "link/networkaddress.h"

#include <QDir>
#include <QRegularExpression>

namespace talvex {

namespace {

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

} // namespace

QString PortMap::absoluteDevicePath(const QString &path, const QString &workingDirectory)
{
    if (path.isEmpty() || !QDir::isRelativePath(path) || isWindowsPortName(path) || isNetworkDevice(path))
        return path;
    return QDir(workingDirectory).absoluteFilePath(path);
}

QString PortMap::defaultDevice(int number)
{
#if defined(Q_OS_WIN)
    return QStringLiteral("COM") + QString::number(number);
#else
    return QStringLiteral("/dev/ttyS") + QString::number(number - 1);
#endif
}

QString PortMap::device(int number) const
{
    if (number < 1 || number > kPorts)
        return {};
    const size_t index = static_cast<size_t>(number) - 1;
    if (!m_devices[index].isEmpty())
        return m_devices[index];
    return m_chosen[index].isEmpty() ? defaultDevice(number) : m_chosen[index];
}

QString PortMap::runDevice(int number) const
{
    return number >= 1 && number <= kPorts ? m_devices[static_cast<size_t>(number) - 1] : QString();
}

QString PortMap::chosenDevice(int number) const
{
    return number >= 1 && number <= kPorts ? m_chosen[static_cast<size_t>(number) - 1] : QString();
}

void PortMap::setChosenDevice(int number, const QString &path)
{
    if (number >= 1 && number <= kPorts)
        m_chosen[static_cast<size_t>(number) - 1] = path;
}

void PortMap::setDevice(int number, const QString &path)
{
    if (number >= 1 && number <= kPorts) {
        m_devices[static_cast<size_t>(number) - 1] = path;
        m_simulated[static_cast<size_t>(number) - 1] = false;
    }
}

bool PortMap::leadsToSimulator(int number) const
{
    return number >= 1 && number <= kPorts && m_simulated[static_cast<size_t>(number) - 1];
}

void PortMap::setAll(const QString &path)
{
    for (QString &device : m_devices)
        device = path;
    m_simulated.fill(true);
}

bool PortMap::applyOption(const QString &option, QString *error)
{
    const qsizetype eq = option.indexOf(QLatin1Char('='));
    bool ok = false;
    const int number = eq > 0 ? option.left(eq).toInt(&ok) : 0;
    const QString path = eq > 0 ? option.mid(eq + 1) : QString();
    if (!ok || number < 1 || number > kPorts || path.isEmpty()) {
        if (error) {
            *error =
                QStringLiteral("--device expects N=PATH with N from 1 to 4, for example 1=/dev/ttyUSB0 (got \"%1\")")
                    .arg(option);
        }
        return false;
    }
    const NetworkAddress address = parseNetworkDevice(path);
    if (!address.isValid()) {
        if (error)
            *error = QStringLiteral("--device %1: %2").arg(option, address.error);
        return false;
    }
    setDevice(number, path);
    return true;
}

} // namespace talvex

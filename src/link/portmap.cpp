#include "link/portmap.h"

namespace talvex {

PortMap::PortMap()
{
    for (int n = 1; n <= kPorts; ++n)
        m_devices[static_cast<size_t>(n) - 1] = defaultDevice(n);
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
    return m_devices[static_cast<size_t>(number) - 1];
}

void PortMap::setDevice(int number, const QString &path)
{
    if (number >= 1 && number <= kPorts)
        m_devices[static_cast<size_t>(number) - 1] = path;
}

void PortMap::setAll(const QString &path)
{
    for (QString &device : m_devices)
        device = path;
}

bool PortMap::applyOption(const QString &option, QString *error)
{
    const qsizetype eq = option.indexOf(QLatin1Char('='));
    bool ok = false;
    const int number = eq > 0 ? option.left(eq).toInt(&ok) : 0;
    const QString path = eq > 0 ? option.mid(eq + 1) : QString();
    if (!ok || number < 1 || number > kPorts || path.isEmpty()) {
        if (error)
            *error =
                QStringLiteral("--device expects N=PATH with N from 1 to 4, for example 1=/dev/ttyUSB0 (got \"%1\")")
                    .arg(option);
        return false;
    }
    setDevice(number, path);
    return true;
}

} // namespace talvex

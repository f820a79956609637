#include "link/portchoices.h"

#include "link/portmap.h"

#include <QSettings>

namespace talvex {

namespace {

QString keyOf(int number)
{
    return QStringLiteral("serialPorts/COM%1").arg(number);
}

} // namespace

void loadPortChoices(PortMap &map, QSettings &settings)
{
    for (int n = 1; n <= PortMap::kPorts; ++n)
        map.setChosenDevice(n, settings.value(keyOf(n)).toString().trimmed());
}

bool savePortChoices(const PortMap &map, QSettings &settings)
{
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        const QString device = map.chosenDevice(n);
        if (device.isEmpty())
            settings.remove(keyOf(n));
        else
            settings.setValue(keyOf(n), device);
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace talvex

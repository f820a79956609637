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

void loadPortChoices(PortMap &map, QSettings &settings, QStringList *refused)
{
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        const QString device = settings.value(keyOf(n)).toString().trimmed();
        if (PortMap::holdsNul(device)) {
            map.setChosenDevice(n, QString());
            if (refused)
                refused->append(refusedChoiceNotice(n));
            continue;
        }
        map.setChosenDevice(n, device);
    }
}

QString refusedChoiceNotice(int number)
{
    return QStringLiteral("個人設定中 COM%1 的裝置路徑含有空字元 (NUL), 無法使用, 改用預設裝置 %2。")
        .arg(number)
        .arg(PortMap::defaultDevice(number));
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

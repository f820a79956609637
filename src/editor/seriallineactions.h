#pragma once

#include "link/pollhold.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QSettings;

namespace talvex {

class MainWindow;
class PortMap;
class PortMapDialog;
class SerialDeviceCatalog;
class TrafficLogModel;
class TrafficLogWindow;

/// The main window's entries about the serial line itself: "設定" → "通訊埠對應..."
/// (which device each COM port leads to, kept per user in @p settings) and "檢視" →
/// "通訊記錄(&L)" (the line's traffic). It also keeps the tooltip of the port panel
/// naming the device the chosen port leads to.
class SerialLineActions : public QObject
{
    Q_OBJECT

public:
    SerialLineActions(MainWindow &window, PortMap &ports, const SerialDeviceCatalog &catalog, QSettings &settings);
    ~SerialLineActions() override;

    PortMapDialog *portMapDialog() const;
    TrafficLogWindow *trafficLog() const;
    TrafficLogModel &traffic() const { return *m_traffic; }

private:
    void openPortMapping();
    void takePortMapping();
    void showTrafficLog();
    void showPortDevice();

    MainWindow &m_window;
    PortMap &m_ports;
    const SerialDeviceCatalog &m_catalog;
    QSettings &m_settings;
    QPointer<PortMapDialog> m_portMapDialog;
    /// The polls wait while the port mapping is up, as they do for every box.
    std::unique_ptr<PollHold::Scope> m_pollHold;
    QPointer<TrafficLogWindow> m_trafficLog;
    /// The line's traffic from the station's start, whether the window is open or not.
    std::unique_ptr<TrafficLogModel> m_traffic;
};

} // namespace talvex

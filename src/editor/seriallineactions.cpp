#include "editor/seriallineactions.h"

#include "core/operator.h"
#include "core/textnumber.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/portmapdialog.h"
#include "editor/trafficlogmodel.h"
#include "editor/trafficlogwindow.h"
#include "link/portchoices.h"
#include "link/portmap.h"

#include <QAction>
#include <QLabel>
#include <QSettings>

namespace talvex {

SerialLineActions::SerialLineActions(MainWindow &window, PortMap &ports, const SerialDeviceCatalog &catalog,
                                     QSettings &settings)
    : m_window(window), m_ports(ports), m_catalog(catalog), m_settings(settings)
{
    m_traffic = std::make_unique<TrafficLogModel>();
    m_window.stationLink().line().addTrafficObserver(*m_traffic);
    const MainWindowUi &ui = m_window.ui();
    connect(ui.portMappingAction, &QAction::triggered, this, &SerialLineActions::openPortMapping);
    connect(ui.trafficLogAction, &QAction::triggered, this, &SerialLineActions::showTrafficLog);
    // After the window's own handler has taken the new port number.
    for (QAction *action : ui.comActions)
        connect(action, &QAction::triggered, this, &SerialLineActions::showPortDevice);
    connect(&m_window, &MainWindow::closing, this, [this] {
        if (m_trafficLog)
            m_trafficLog->close();
    });
    showPortDevice();
}

SerialLineActions::~SerialLineActions()
{
    delete m_portMapDialog;
    m_pollHold.reset();
    // A window of its own, so that it stays usable while the main window is disabled.
    delete m_trafficLog;
    m_window.stationLink().line().removeTrafficObserver(*m_traffic);
}

PortMapDialog *SerialLineActions::portMapDialog() const
{
    return m_portMapDialog;
}

TrafficLogWindow *SerialLineActions::trafficLog() const
{
    return m_trafficLog;
}

void SerialLineActions::showPortDevice()
{
    const int number = wholeNumberOf(m_window.values().ComPort);
    const QString device = m_ports.device(number);
    m_window.ui().statusPort->setToolTip(device.isEmpty() ? QString() : QStringLiteral("裝置 %1").arg(device));
}

void SerialLineActions::openPortMapping()
{
    if (m_portMapDialog) {
        m_portMapDialog->raise();
        m_portMapDialog->activateWindow();
        return;
    }
    m_portMapDialog = new PortMapDialog(m_ports, m_catalog, &m_window);
    m_portMapDialog->setWindowModality(Qt::WindowModal);
    m_portMapDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_portMapDialog, &QDialog::accepted, this, &SerialLineActions::takePortMapping);
    connect(m_portMapDialog, &QDialog::finished, this, [this] { m_pollHold.reset(); });
    m_pollHold = std::make_unique<PollHold::Scope>(m_window.stationLink().polls());
    m_portMapDialog->show();
}

void SerialLineActions::takePortMapping()
{
    const PortMapDialog::Choices choices = m_portMapDialog->choices();
    for (int n = 1; n <= PortMap::kPorts; ++n)
        m_ports.setChosenDevice(n, choices[static_cast<size_t>(n) - 1]);
    showPortDevice();
    if (!savePortChoices(m_ports, m_settings)) {
        m_window.op().notice(
            QStringLiteral("無法儲存通訊埠對應到 %1 !\n本次執行仍使用所選的裝置。").arg(m_settings.fileName()),
            messageTitle(), Operator::Icon::Warning);
    }
}

void SerialLineActions::showTrafficLog()
{
    if (!m_trafficLog)
        m_trafficLog = new TrafficLogWindow(m_window.stationLink().line(), m_traffic.get());
    m_trafficLog->show();
    m_trafficLog->raise();
    m_trafficLog->activateWindow();
}

} // namespace talvex

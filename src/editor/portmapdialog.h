#pragma once

#include "link/portmap.h"
#include "link/serialdevicecatalog.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;

namespace talvex {

/// The dialog "通訊埠對應": which device each of COM1..COM4 leads to. Each port has an
/// editable list of the machine's serial devices, each shown with what is known of it
/// (its stable name and where the system has it now, description, maker, USB id and
/// serial number), and takes a typed path as well; left empty, the port keeps its
/// default device. A port may also lead to a device server on the network
/// ("tcp://HOST:PORT" or "rfc2217://HOST:PORT"); a malformed address keeps the dialog
/// open with the reason shown under the ports. "重新整理" lists the devices again, for
/// an adapter plugged in meanwhile. It changes nothing itself: on "確定" the owner
/// takes choices().
class PortMapDialog : public QDialog
{
    Q_OBJECT

public:
    using Choices = std::array<QString, PortMap::kPorts>;

    PortMapDialog(const PortMap &map, const SerialDeviceCatalog &catalog, QWidget *parent = nullptr);

    /// The device chosen for each port (index n-1 for COMn): the path a mapping keeps,
    /// the stable name where the device has one, a typed relative path taken from the
    /// working directory; the empty text for the default.
    Choices choices() const;
    /// Why the choices cannot be taken (a typed path with a NUL in it), or the empty
    /// text. "確定" shows it in the dialog instead of closing it.
    QString problem() const;
    QLabel *problemLabel() const { return m_problem; }

    QComboBox *deviceBox(int number) const { return m_boxes.at(static_cast<size_t>(number) - 1); }
    QPushButton *refreshButton() const { return m_refresh; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    /// How a device is offered: its path, then what is known of it in parentheses.
    static QString deviceText(const SerialDevice &device);

private:
    /// Lists the catalog's devices again; each port keeps the device it shows.
    void listDevices();
    /// Shows @p path in port @p number's box: as the listed device it names, if any.
    void showPath(int number, const QString &path);
    QString pathOf(int number) const;
    /// "確定": closes the dialog unless a choice cannot be taken.
    void confirm();

    const SerialDeviceCatalog &m_catalog;
    QList<SerialDevice> m_devices;
    std::array<QComboBox *, PortMap::kPorts> m_boxes{};
    QLabel *m_problem = nullptr;
    QPushButton *m_refresh = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace talvex

#include "editor/portmapdialog.h"

#include "link/networkaddress.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace talvex {

namespace {

constexpr int kBoxMinimumWidth = 600;

QPushButton *dialogButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

PortMapDialog::PortMapDialog(const PortMap &map, const SerialDeviceCatalog &catalog, QWidget *parent)
    : QDialog(parent), m_catalog(catalog)
{
    setObjectName(QStringLiteral("PortMapDialog"));
    setWindowTitle(QStringLiteral("通訊埠對應"));

    auto *intro = new QLabel(QStringLiteral("請為每個通訊埠選擇裝置, 或直接輸入裝置路徑; 留空則使用預設裝置。\n"
                                            "變更從下次開啟通訊埠時生效。"),
                             this);
    intro->setWordWrap(true);
    auto *networkHelp =
        new QLabel(QStringLiteral("網路上的裝置伺服器也可以當作通訊埠: 輸入 tcp://主機:埠 (原樣傳送位元組),"
                                  " 或 rfc2217://主機:埠 (Telnet 通訊埠控制, 並設定為 9600 8N1)。"
                                  "主機可以是名稱、IPv4 位址或放在方括號裡的 IPv6 位址,"
                                  " 例如 rfc2217://192.168.1.20:4001 或 tcp://[::1]:7000。"),
                   this);
    networkHelp->setObjectName(QStringLiteral("networkHelp"));
    networkHelp->setWordWrap(true);

    auto *grid = new QGridLayout;
    int row = 0;
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        const QString port = QStringLiteral("COM%1").arg(n);
        auto *label = new QLabel(port, this);
        auto *box = new QComboBox(this);
        box->setObjectName(port);
        box->setAccessibleName(QStringLiteral("%1 的裝置").arg(port));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumWidth(kBoxMinimumWidth);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->lineEdit()->setPlaceholderText(QStringLiteral("預設裝置 %1").arg(PortMap::defaultDevice(n)));
        label->setBuddy(box);
        m_boxes[static_cast<size_t>(n) - 1] = box;
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        ++row;
        // A device given on the command line holds for this run whatever is chosen here;
        // under --simulate that is the virtual controller's line, and says so.
        const QString runDevice = map.runDevice(n);
        if (!runDevice.isEmpty()) {
            const QString text =
                map.leadsToSimulator(n)
                    ? QStringLiteral(
                          "本次執行通往模擬控制器 talvex-sim (%1), 此處的選擇在不使用 --simulate 啟動時生效。")
                    : QStringLiteral("本次執行由命令列指定為 %1, 此處的選擇從下次啟動起生效。");
            auto *note = new QLabel(text.arg(runDevice), this);
            note->setObjectName(port + QStringLiteral("Note"));
            note->setWordWrap(true);
            grid->addWidget(note, row++, 1);
        }
    }
    grid->setColumnStretch(1, 1);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("problemLabel"));
    m_problem->setWordWrap(true);
    QPalette problemColors = m_problem->palette();
    problemColors.setColor(QPalette::WindowText, Qt::darkRed);
    m_problem->setPalette(problemColors);
    m_problem->hide();

    m_refresh = dialogButton(QStringLiteral("重新整理"), QStringLiteral("refreshButton"), this);
    m_ok = dialogButton(QStringLiteral("確定"), QStringLiteral("okButton"), this);
    m_ok->setDefault(true);
    m_cancel = dialogButton(QStringLiteral("取消"), QStringLiteral("cancelButton"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_refresh);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(networkHelp);
    layout->addLayout(grid);
    layout->addWidget(m_problem);
    layout->addStretch(1);
    layout->addLayout(buttons);

    listDevices();
    for (int n = 1; n <= PortMap::kPorts; ++n)
        showPath(n, map.chosenDevice(n));

    connect(m_refresh, &QPushButton::clicked, this, &PortMapDialog::listDevices);
    connect(m_ok, &QPushButton::clicked, this, &PortMapDialog::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString PortMapDialog::deviceText(const SerialDevice &device)
{
    QStringList known;
    if (!device.stablePath.isEmpty())
        known << device.systemPath;
    if (!device.description.isEmpty())
        known << device.description;
    if (!device.manufacturer.isEmpty())
        known << device.manufacturer;
    if (!device.usbId.isEmpty())
        known << QStringLiteral("USB ") + device.usbId;
    if (!device.serialNumber.isEmpty())
        known << QStringLiteral("序號 ") + device.serialNumber;
    const QString path = device.mappingPath();
    return known.isEmpty() ? path : path + QStringLiteral(" (") + known.join(QStringLiteral(", ")) + QLatin1Char(')');
}

void PortMapDialog::listDevices()
{
    Choices shown;
    for (int n = 1; n <= PortMap::kPorts; ++n)
        shown[static_cast<size_t>(n) - 1] = pathOf(n);
    m_devices = m_catalog.devices();
    for (QComboBox *box : m_boxes) {
        box->clear();
        for (const SerialDevice &device : std::as_const(m_devices)) {
            const QString text = deviceText(device);
            box->addItem(text, device.mappingPath());
            box->setItemData(box->count() - 1, text, Qt::ToolTipRole);
        }
        // Stable names are long: the list opens as wide as its longest entry needs.
        QAbstractItemView *list = box->view();
        list->setMinimumWidth(list->sizeHintForColumn(0) + list->verticalScrollBar()->sizeHint().width());
    }
    for (int n = 1; n <= PortMap::kPorts; ++n)
        showPath(n, shown[static_cast<size_t>(n) - 1]);
}

void PortMapDialog::showPath(int number, const QString &path)
{
    QComboBox *box = deviceBox(number);
    const int index = path.isEmpty() ? -1 : box->findData(path);
    box->setCurrentIndex(index);
    if (index < 0)
        box->setEditText(path);
    // The start of the path says the most.
    box->lineEdit()->setCursorPosition(0);
}

QString PortMapDialog::pathOf(int number) const
{
    const QComboBox *box = deviceBox(number);
    QString text = box->currentText().trimmed();
    const int index = box->findText(text);
    if (index >= 0)
        return box->itemData(index).toString();
    // A typed path of a device that has a stable name is kept as that name, so the
    // mapping survives the adapter moving to another socket.
    for (const SerialDevice &device : m_devices) {
        if (device.systemPath == text)
            return device.mappingPath();
    }
    return PortMap::absoluteDevicePath(text, QDir::currentPath());
}

QString PortMapDialog::problem() const
{
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        const QString path = pathOf(n);
        if (PortMap::holdsNul(path))
            return QStringLiteral("COM%1 的裝置路徑含有空字元 (NUL), 無法使用。請重新輸入。").arg(n);
        if (const NetworkAddress address = parseNetworkDevice(path); !address.isValid())
            return QStringLiteral("COM%1: %2").arg(n).arg(address.error);
    }
    return {};
}

void PortMapDialog::confirm()
{
    const QString why = problem();
    if (why.isEmpty()) {
        accept();
        return;
    }
    m_problem->setText(why);
    m_problem->show();
}

PortMapDialog::Choices PortMapDialog::choices() const
{
    Choices chosen;
    for (int n = 1; n <= PortMap::kPorts; ++n)
        chosen[static_cast<size_t>(n) - 1] = pathOf(n);
    return chosen;
}

} // namespace talvex

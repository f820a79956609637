// The main window's serial-line entries: the port mapping dialog over a fixed list of
// devices, and the traffic log window over the in-memory line.
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/portmapdialog.h"
#include "editor/seriallineactions.h"
#include "editor/trafficlogmodel.h"
#include "editor/trafficlogwindow.h"
#include "link/portchoices.h"
#include "link/portmap.h"
#include "testing/filekinds.h"
#include "testing/fixeddevicecatalog.h"
#include "testing/mainwindowfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace talvex;
using namespace talvex::testing;

namespace {

const QString kAdapter = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5069RR4-if00-port0");

SerialDevice device(const QString &systemPath, const QString &stablePath, const QString &description,
                    const QString &maker = {}, const QString &usbId = {}, const QString &serial = {})
{
    return SerialDevice{systemPath, stablePath, description, maker, usbId, serial};
}

/// The log's entries without their times: "→ text" or "← text".
QStringList entries(const TrafficLogModel &model)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.entryLine(row).mid(13);
    return out;
}

/// Feeds @p pieces to @p model, each starting with '>' sent or '<' received.
void feedTraffic(TrafficLogModel &model, const QList<QByteArray> &pieces)
{
    for (const QByteArray &piece : pieces) {
        const auto direction =
            piece.startsWith('>') ? LineTrafficObserver::Direction::Sent : LineTrafficObserver::Direction::Received;
        model.lineTraffic(direction, piece.mid(1), 0);
    }
    model.flush();
}

/// What the traffic log window's view shows: "→ text" or "← text".
QStringList shownEntries(const TrafficLogWindow &log)
{
    const QAbstractItemModel *shown = log.view()->model();
    QStringList out;
    for (int row = 0; row < shown->rowCount(); ++row)
        out << shown->index(row, TrafficLogModel::DirectionColumn).data().toString() + QLatin1Char(' ') +
                   shown->index(row, TrafficLogModel::TextColumn).data().toString();
    return out;
}

} // namespace

class TestSerialLineWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void portMapping_listsDevicesAndKeepsTheChoice_data();
    void portMapping_listsDevicesAndKeepsTheChoice();
    void portMapDialog_nulRefusedRelativePathMadeAbsolute();
    void portMapDialog_saysWhereThisRunsLineLeads();
    void portMapping_refusesAMalformedNetworkAddress_data();
    void portMapping_refusesAMalformedNetworkAddress();
    void trafficLog_showsTheLineWithDirections();
    void trafficLog_bytesMadeReadable_data();
    void trafficLog_bytesMadeReadable();
    void trafficLog_keepsTheNewestEntries();
    void trafficLog_keptFromTheStationsStart();
    void trafficLog_hidesStatusPollsAndTheirAnswers();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindowFixture> m_fixture;
    FixedDeviceCatalog m_catalog;
    PortMap m_ports;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<SerialLineActions> m_actions;
};

void TestSerialLineWindows::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_fixture = std::make_unique<MainWindowFixture>();
    m_catalog.list = {device(QStringLiteral("/dev/ttyUSB0"), kAdapter, QStringLiteral("FT232R USB UART"),
                             QStringLiteral("FTDI"), QStringLiteral("0403:6001"), QStringLiteral("A5069RR4")),
                      device(QStringLiteral("/dev/ttyS0"), {}, QStringLiteral("ttyS0"))};
    m_ports = PortMap();
    m_settings = std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("station.conf")), QSettings::IniFormat);
    m_actions = std::make_unique<SerialLineActions>(m_fixture->window(), m_ports, m_catalog, *m_settings);
    m_fixture->window().show();
}

void TestSerialLineWindows::cleanup()
{
    m_actions.reset();
    m_fixture.reset();
    m_settings.reset();
    m_dir.reset();
}

void TestSerialLineWindows::portMapping_listsDevicesAndKeepsTheChoice_data()
{
    QTest::addColumn<QStringList>("typed"); // per port: "#k" picks listed device k, else typed
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QStringList>("kept"); // the chosen device per port afterwards

    QTest::newRow("listed device, kept by its stable name")
        << QStringList{"#0", "", "", "/dev/ttyACM9"} << true << QStringList{kAdapter, "", "", "/dev/ttyACM9"};
    QTest::newRow("typed system path of a device with a stable name")
        << QStringList{"", "/dev/ttyUSB0", "", "/dev/ttyACM9"} << true << QStringList{"", kAdapter, "", "/dev/ttyACM9"};
    QTest::newRow("listed device without one, typed path, default again")
        << QStringList{"#1", "", "  /tmp/talvex-line ", ""} << true
        << QStringList{"/dev/ttyS0", "", "/tmp/talvex-line", ""};
    QTest::newRow("cancelled") << QStringList{"#0", "/tmp/x", "/tmp/y", ""} << false
                               << QStringList{"", "", "", "/dev/ttyACM9"};
}

void TestSerialLineWindows::portMapping_listsDevicesAndKeepsTheChoice()
{
    QFETCH(QStringList, typed);
    QFETCH(bool, confirmed);
    QFETCH(QStringList, kept);
    MainWindow &window = m_fixture->window();
    m_ports.setChosenDevice(4, QStringLiteral("/dev/ttyACM9"));
    QCOMPARE(window.ui().portMappingAction->text(), QStringLiteral("通訊埠對應..."));
    window.ui().portMappingAction->trigger();
    PortMapDialog *dialog = m_actions->portMapDialog();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("通訊埠對應"));
    QVERIFY(window.stationLink().polls().isHeld());

    QComboBox *first = dialog->deviceBox(1);
    QCOMPARE(first->count(), 2);
    QCOMPARE(first->itemText(0), kAdapter + QStringLiteral(" (/dev/ttyUSB0, FT232R USB UART, FTDI, USB 0403:6001, "
                                                           "序號 A5069RR4)"));
    QCOMPARE(first->itemText(1), QStringLiteral("/dev/ttyS0 (ttyS0)"));
    QCOMPARE(first->currentText(), QString());
    QCOMPARE(first->lineEdit()->placeholderText(), QStringLiteral("預設裝置 ") + PortMap::defaultDevice(1));
    QCOMPARE(dialog->deviceBox(4)->currentText(), QStringLiteral("/dev/ttyACM9"));

    for (int n = 1; n <= PortMap::kPorts; ++n) {
        QComboBox *box = dialog->deviceBox(n);
        const QString &what = typed.at(n - 1);
        if (what.startsWith(QLatin1Char('#'))) {
            box->setCurrentIndex(what.mid(1).toInt());
        } else {
            box->lineEdit()->selectAll();
            box->lineEdit()->del();
            QTest::keyClicks(box->lineEdit(), what);
        }
    }
    // An adapter plugged in meanwhile: listed again, nothing typed is lost.
    m_catalog.list.append(device(QStringLiteral("/dev/ttyACM0"), {}, QStringLiteral("Arduino Uno")));
    QTest::mouseClick(dialog->refreshButton(), Qt::LeftButton);
    QCOMPARE(dialog->deviceBox(3)->count(), 3);
    QCOMPARE(dialog->deviceBox(3)->itemText(2), QStringLiteral("/dev/ttyACM0 (Arduino Uno)"));

    QTest::mouseClick(confirmed ? dialog->okButton() : dialog->cancelButton(), Qt::LeftButton);
    QTRY_VERIFY(!m_actions->portMapDialog());
    QVERIFY(!window.stationLink().polls().isHeld());
    PortMap restarted;
    loadPortChoices(restarted, *m_settings);
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        QCOMPARE(m_ports.chosenDevice(n), kept.at(n - 1));
        if (confirmed)
            QCOMPARE(restarted.chosenDevice(n), kept.at(n - 1));
    }
    // The port panel keeps its text; its tooltip names the device it leads to.
    QCOMPARE(window.ui().statusPort->text(), QStringLiteral("COM1"));
    QCOMPARE(window.ui().statusPort->toolTip(), QStringLiteral("裝置 ") + m_ports.device(1));
    window.ui().comActions[3]->trigger();
    QCOMPARE(window.ui().statusPort->toolTip(), QStringLiteral("裝置 ") + m_ports.device(4));
    QCOMPARE(m_fixture->op().unscripted(), 0);
}

void TestSerialLineWindows::portMapDialog_nulRefusedRelativePathMadeAbsolute()
{
    PortMapDialog dialog(m_ports, m_catalog);
    dialog.show();
    dialog.deviceBox(2)->setEditText(QStringLiteral("lines/talvex-line"));
    dialog.deviceBox(3)->setEditText(QStringLiteral("/dev/ttyUSB0") + QChar(0) + "x");
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QVERIFY(dialog.isVisible() && dialog.problemLabel()->isVisible());
    QCOMPARE(dialog.problemLabel()->text(), QStringLiteral("COM3 的裝置路徑含有空字元 (NUL), 無法使用。請重新輸入。"));
    dialog.deviceBox(3)->setEditText({});
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.choices().at(1), QDir::current().absoluteFilePath(QStringLiteral("lines/talvex-line")));
}

void TestSerialLineWindows::portMapDialog_saysWhereThisRunsLineLeads()
{
    // --simulate leads every port to the virtual controller; a --device after it wins.
    m_ports.setAll(QStringLiteral("/dev/pts/7"));
    QVERIFY(m_ports.applyOption(QStringLiteral("2=/dev/ttyUSB1"), nullptr));
    PortMapDialog dialog(m_ports, m_catalog);
    const auto note = [&dialog](int n) {
        const auto *label = dialog.findChild<QLabel *>(QStringLiteral("COM%1Note").arg(n));
        return label ? label->text() : QString();
    };
    QCOMPARE(
        note(1),
        QStringLiteral("本次執行通往模擬控制器 talvex-sim (/dev/pts/7), 此處的選擇在不使用 --simulate 啟動時生效。"));
    QCOMPARE(note(2), QStringLiteral("本次執行由命令列指定為 /dev/ttyUSB1, 此處的選擇從下次啟動起生效。"));
    QCOMPARE(note(4), note(1));
}

void TestSerialLineWindows::portMapping_refusesAMalformedNetworkAddress_data()
{
    QTest::addColumn<QString>("malformed");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("corrected");
    QTest::newRow("no port") << "tcp://192.168.1.20"
                             << "少了埠號"
                             << "tcp://192.168.1.20:4001";
    QTest::newRow("IPv6 without brackets") << "rfc2217://::1:4001"
                                           << "方括號"
                                           << "rfc2217://[::1]:4001";
}

void TestSerialLineWindows::portMapping_refusesAMalformedNetworkAddress()
{
    QFETCH(QString, malformed);
    QFETCH(QString, reason);
    QFETCH(QString, corrected);
    m_fixture->window().ui().portMappingAction->trigger();
    PortMapDialog *dialog = m_actions->portMapDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("networkHelp"))->text().contains(QStringLiteral("rfc2217://")));
    QVERIFY(dialog->problemLabel()->isHidden());
    QLineEdit *typed = dialog->deviceBox(2)->lineEdit();

    QTest::keyClicks(typed, malformed);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->problemLabel()->isHidden());
    const QString shown = dialog->problemLabel()->text();
    QVERIFY2(shown.startsWith(QStringLiteral("COM2: ")) && shown.contains(reason) && shown.contains(malformed),
             qPrintable(shown));
    QCOMPARE(m_ports.chosenDevice(2), QString());

    typed->selectAll();
    typed->del();
    QTest::keyClicks(typed, corrected);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QTRY_VERIFY(!m_actions->portMapDialog());
    QCOMPARE(m_ports.chosenDevice(2), corrected);
    QCOMPARE(m_fixture->op().unscripted(), 0);
}

void TestSerialLineWindows::trafficLog_showsTheLineWithDirections()
{
    MainWindow &window = m_fixture->window();
    MemorySerialPort &port = m_fixture->port();
    port.responder = [](const QByteArray &line) -> QByteArray {
        if (line == "?VM")
            return "V\r";
        if (line == "?INP")
            return "3\r";
        return line == "?VA" ? QByteArray("1800\r") : QByteArray();
    };
    QCOMPARE(window.ui().viewMenu->title(), QStringLiteral("檢視(&V)"));
    window.ui().trafficLogAction->trigger();
    TrafficLogWindow *log = m_actions->trafficLog();
    QVERIFY(log && log->isVisible());
    QCOMPARE(log->windowTitle(), QStringLiteral("通訊記錄"));
    TrafficLogModel &model = log->model();

    window.statusTimer().stop(); // the ticks are driven by hand
    window.stationLink().connectController(QStringLiteral("1"));
    window.statusTimer().stop();
    window.stationLink().tick();
    QTRY_COMPARE(model.rowCount(), 7); // shown from the event loop
    const QStringList poll{"→ ?INP<CR>", "← 3<CR>", "→ ?VA<CR>", "← 1800<CR>"};
    QCOMPARE(entries(model), QStringList({"→ ?VM<CR>", "← V<CR>", "→ <ESC><ESC>EC 0<CR>"}) + poll);
    const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d$"));
    QVERIFY(time.match(model.data(model.index(0, TrafficLogModel::TimeColumn)).toString()).hasMatch());

    // Paused, the line goes on but the log does not grow; resumed, it does again.
    QTest::mouseClick(log->pauseButton(), Qt::LeftButton);
    port.clearWrites();
    window.stationLink().tick();
    QVERIFY(port.written().contains("?INP\r"));
    model.flush();
    QCOMPARE(model.rowCount(), 7);
    QTest::mouseClick(log->pauseButton(), Qt::LeftButton);
    window.stationLink().tick();
    model.flush();
    QCOMPARE(entries(model).mid(7), poll);

    const QString file = m_dir->filePath(QStringLiteral("line.txt"));
    m_fixture->op().answerFile(file);
    QTest::mouseClick(log->saveButton(), Qt::LeftButton);
    QCOMPARE(m_fixture->op().shown().back().filter, QStringLiteral("文字檔(*.txt) | *.txt"));
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(saved.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 11);
    QVERIFY2(
        QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d ← V<CR>$")).match(lines.at(1)).hasMatch(),
        qPrintable(lines.at(1)));
    // A named pipe (a folder where the system has no pipes among its files) where the
    // log should go is named in the notice and left as it was.
    const QString pipe = m_dir->filePath(QStringLiteral("pipe.txt"));
    QVERIFY(canMakeFileKind(FileKind::NamedPipe) ? makeFileKind(FileKind::NamedPipe, pipe) : QDir().mkdir(pipe));
    m_fixture->op().answerFile(pipe);
    QTest::mouseClick(log->saveButton(), Qt::LeftButton);
    const QStringList notices = m_fixture->op().notices();
    QCOMPARE(notices.value(notices.size() - 1),
             QStringLiteral("無法寫入通訊記錄檔 %1 !\n%1 不是一般檔案, 無法寫入!").arg(pipe));
    QVERIFY(!QFileInfo(pipe).isFile());

    QTest::mouseClick(log->clearButton(), Qt::LeftButton);
    QCOMPARE(model.rowCount(), 0);
    window.stationLink().exit();
    model.flush();
    QCOMPARE(entries(model), QStringList({"→ EC 1<CR>"}));
}

void TestSerialLineWindows::trafficLog_bytesMadeReadable_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces"); // each starts with '>' sent or '<' received
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("escapes and a command in three writes")
        << QList<QByteArray>{">\x1b", ">\x1b", ">EC 0", ">\r"} << QStringList{"→ <ESC><ESC>EC 0<CR>"};
    QTest::newRow("Big5 split between two reads")
        << QList<QByteArray>{"<\xb0", "<\x5f\xc2\x49\r"} << QStringList{"← 起點<CR>"};
    QTest::newRow("bytes that are no character") << QList<QByteArray>{QByteArray("<A\xff\x80"
                                                                                 "B\x07\n\t",
                                                                                 8),
                                                                      QByteArray("<\x00\xb0\r", 4)}
                                                 << QStringList{"← A<0xFF><0x80>B<0x07><LF><TAB><NUL><0xB0><CR>"};
    QTest::newRow("a lead byte that ends the burst")
        << QList<QByteArray>{"<12\xa4", ">?VA\r"} << QStringList{"← 12<0xA4>", "→ ?VA<CR>"};
    QTest::newRow("two lines in one read") << QList<QByteArray>{"<1\r2\r"} << QStringList{"← 1<CR>", "← 2<CR>"};
    QTest::newRow("answer without a line end, then the next question")
        << QList<QByteArray>{">?VA", "<12", ">?PEX\r"} << QStringList{"→ ?VA", "← 12", "→ ?PEX<CR>"};
    QTest::newRow("a long burst goes on in a new entry")
        << QList<QByteArray>{"<" + QByteArray(300, 'x')}
        << QStringList{"← " + QString(256, QLatin1Char('x')), "← " + QString(44, QLatin1Char('x'))};
}

void TestSerialLineWindows::trafficLog_bytesMadeReadable()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QStringList, shown);
    TrafficLogModel model;
    feedTraffic(model, pieces);
    QCOMPARE(entries(model), shown);
}

void TestSerialLineWindows::trafficLog_keepsTheNewestEntries()
{
    TrafficLogModel model;
    auto feed = [&model](int first, int count) {
        for (int i = first; i < first + count; ++i)
            model.lineTraffic(LineTrafficObserver::Direction::Received, "L" + QByteArray::number(i) + '\r', 0);
    };
    feed(0, 6000);
    model.flush();
    feed(6000, 4010); // shown together: the oldest shown ones make room
    model.flush();
    QCOMPARE(model.rowCount(), TrafficLogModel::kMaxEntries);
    QCOMPARE(entries(model).first(), QStringLiteral("← L10<CR>"));
    feed(10010, 12000); // more than the log holds before it is shown at all
    model.flush();
    QCOMPARE(model.rowCount(), TrafficLogModel::kMaxEntries);
    QCOMPARE(entries(model).first(), QStringLiteral("← L12010<CR>"));
    QCOMPARE(entries(model).last(), QStringLiteral("← L22009<CR>"));
}

void TestSerialLineWindows::trafficLog_keptFromTheStationsStart()
{
    MainWindow &window = m_fixture->window();
    m_fixture->port().responder = [](const QByteArray &line) {
        return line == "?VM" ? QByteArray("V\r") : QByteArray();
    };
    window.statusTimer().stop();
    window.stationLink().connectController(QStringLiteral("1"));
    window.statusTimer().stop();
    QVERIFY(!m_actions->trafficLog()); // nobody has looked yet
    window.ui().trafficLogAction->trigger();
    TrafficLogModel &model = m_actions->trafficLog()->model();
    QTRY_VERIFY(model.rowCount() >= 2);
    QCOMPARE(entries(model).mid(0, 2), QStringList({"→ ?VM<CR>", "← V<CR>"}));
}

void TestSerialLineWindows::trafficLog_hidesStatusPollsAndTheirAnswers()
{
    m_fixture->window().ui().trafficLogAction->trigger();
    TrafficLogWindow *log = m_actions->trafficLog();
    QVERIFY(log);
    QCheckBox *hide = log->hidePollsBox();
    QCOMPARE(hide->text(), QStringLiteral("隱藏狀態查詢"));
    QVERIFY(!hide->isChecked() && !hide->toolTip().isEmpty());
    TrafficLogModel &model = log->model();
    model.clear();
    feedTraffic(model, {">?VM\r", "<V\r", ">\x1b",    ">\x1b",   ">EC 0\r",  ">?INP",   ">\r",     "<3\r",
                        ">?VA\r", "<18",  "<00\r",    ">SET P1", ">\r",      ">?PEX\r", "<12.5\r", ">?PEY\r",
                        "<7\r",   "<8\r", ">XMA 5\r", "<late\r", ">?INPX\r", "<0\r"});
    const QStringList all = entries(model);
    QCOMPARE(all.size(), 17);
    QCOMPARE(shownEntries(*log), all);

    QTest::mouseClick(hide, Qt::LeftButton);
    const QStringList rest{"→ ?VM<CR>",   "← V<CR>",    "→ <ESC><ESC>EC 0<CR>", "→ SET P1<CR>",
                           "→ XMA 5<CR>", "← late<CR>", "→ ?INPX<CR>",          "← 0<CR>"};
    QCOMPARE(shownEntries(*log), rest);
    // What comes while they are hidden is sorted the same way; the log keeps it all.
    feedTraffic(model, {">?VA\r", "<1800\r", ">HOFF\r"});
    QCOMPARE(shownEntries(*log), rest + QStringList{"→ HOFF<CR>"});
    QCOMPARE(model.rowCount(), 20);
    const QString file = m_dir->filePath(QStringLiteral("line.txt"));
    m_fixture->op().answerFile(file);
    QTest::mouseClick(log->saveButton(), Qt::LeftButton);
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly | QIODevice::Text));
    QCOMPARE(QString::fromUtf8(saved.readAll()).count(QLatin1Char('\n')), rest.size() + 1);

    QTest::mouseClick(hide, Qt::LeftButton);
    QCOMPARE(shownEntries(*log), entries(model));
}

QTEST_MAIN(TestSerialLineWindows)
#include "tst_seriallinewindows.moc"

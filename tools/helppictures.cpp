#include "tools/helppictures.h"

#include "app/fonts.h"
#include "app/previewlauncher.h"
#include "app/programchecklauncher.h"
#include "app/qttranslation.h"
#include "app/teachlauncher.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "editor/portmapdialog.h"
#include "editor/problemswindow.h"
#include "editor/seriallineactions.h"
#include "editor/trafficlogmodel.h"
#include "editor/trafficlogwindow.h"
#include "files/programfile.h"
#include "link/linetrafficobserver.h"
#include "link/portmap.h"
#include "preview/pathpreviewwindow.h"
#include "teach/teachdialog.h"
#include "testing/fixeddevicecatalog.h"
#include "testing/mainwindowfixture.h"
#include "testing/stepbuilder.h"
#include "testing/workedexample.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QImageWriter>
#include <QPushButton>
#include <QSettings>
#include <QStyleHints>
#include <QTimer>

namespace talvex::pictures {

namespace {

using testing::MainWindowFixture;

const QString kMainWindow = QStringLiteral("main-window.png");
const QString kTeachDialog = QStringLiteral("teach-dialog.png");
const QString kPathPreview = QStringLiteral("path-preview.png");
const QString kTrafficLog = QStringLiteral("traffic-log.png");
const QString kPortMapping = QStringLiteral("port-mapping.png");
const QString kProgramCheck = QStringLiteral("program-check.png");

// The windows that can grow are grabbed at these sizes, near the ones they open at.
constexpr QSize kPathPreviewSize(640, 520);
constexpr QSize kTrafficLogSize(560, 300);
constexpr QSize kPortMappingSize(680, 0); // its own height
constexpr QSize kProgramCheckSize(520, 200);
// How long the teach dialog's first position poll may take to come.
constexpr int kPollWaitMs = 5000;

/// A controller at rest at X 100, Y 200, with inputs 1 and 3 on, as the worked
/// example's point waits for.
QByteArray controllerReply(const QByteArray &line)
{
    if (line == "?VM")
        return "50\r";
    if (line == "?VA")
        return "2000\r";
    if (line == "?INP")
        return "5\r";
    if (line == "?PEX")
        return "100\r";
    if (line == "?PEY")
        return "200\r";
    return {};
}

/// Passes the line's traffic on with the time of the fixture's virtual clock from a
/// fixed morning, so that the log shows neither the day nor the hour of the run.
class FixedClockTraffic : public LineTrafficObserver
{
public:
    FixedClockTraffic(LineTrafficObserver &target, const Sleeper &clock) : m_target(target), m_clock(clock) {}

    void lineTraffic(Direction direction, const QByteArray &bytes, qint64) override
    {
        m_target.lineTraffic(direction, bytes, m_start + m_clock.now());
    }

private:
    LineTrafficObserver &m_target;
    const Sleeper &m_clock;
    // Local time, as the log shows it.
    const qint64 m_start = QDateTime(QDate(2026, 12, 7), QTime(9, 30)).toMSecsSinceEpoch();
};

/// @p widget shown at @p size (a zero height: its own), grabbed at scale 1.
QImage grabbed(QWidget &widget, QSize size = {})
{
    if (!size.isEmpty())
        widget.resize(size);
    else if (size.width() > 0)
        widget.resize(size.width(), widget.sizeHint().height());
    widget.show();
    QCoreApplication::processEvents();
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

/// Tells what did not come up.
void missing(QString *error, const QString &fileName, const QString &what)
{
    if (error && error->isEmpty())
        *error = QStringLiteral("%1: %2").arg(fileName, what);
}

/// The station as an operator has it: the worked example opened from its file,
/// connected to a controller that stands at the example's point, output 1 switched
/// on, editing started and the point's row chosen. Then the windows it opens from
/// there: the teach dialog re-teaching that row, the path preview, the port mapping
/// and the traffic log of all of it.
void renderStation(QList<Picture> &pictures, QString *error)
{
    MainWindowFixture fixture;
    MainWindow &window = fixture.window();
    const MainWindowUi &ui = window.ui();
    fixture.port().responder = controllerReply;

    TrafficLogModel traffic;
    FixedClockTraffic relay(traffic, fixture.clock());
    Line &line = window.stationLink().line();
    line.addTrafficObserver(relay);
    TeachLauncher teach(window);
    PreviewLauncher preview(window);
    PortMap ports;
    testing::FixedDeviceCatalog devices;
    SerialDevice adapter;
    adapter.systemPath = QStringLiteral("/dev/ttyUSB0");
    adapter.stablePath = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    adapter.description = QStringLiteral("FT232R USB UART");
    adapter.manufacturer = QStringLiteral("FTDI");
    adapter.usbId = QStringLiteral("0403:6001");
    adapter.serialNumber = QStringLiteral("A50285BI");
    SerialDevice builtIn;
    builtIn.systemPath = QStringLiteral("/dev/ttyS0");
    devices.list = {builtIn, adapter};
    ports.setChosenDevice(2, adapter.stablePath);
    ports.setChosenDevice(3, QStringLiteral("rfc2217://192.168.1.20:4001"));
    QSettings settings(fixture.filePath(QStringLiteral("station.conf")), QSettings::IniFormat);
    SerialLineActions lineActions(window, ports, devices, settings);

    const QString program = fixture.filePath(QStringLiteral("範例.tvx"));
    if (!writeProgramFile(program, testing::workedExampleTable(), testing::kWorkedExampleLastRow) ||
        !window.openProgramFile(program)) {
        missing(error, kMainWindow, QStringLiteral("the worked example did not open"));
        line.removeTrafficObserver(relay);
        return;
    }
    ui.setAccelerationBox->setChecked(true);
    window.stationLink().connectController(window.values().ComPort);
    // The ticks are taken by hand, as many as the pictures want, whatever the time.
    window.statusTimer().stop();
    ui.outputBoxes[0]->setChecked(true);
    window.stationLink().tick();
    ui.startEditingButton->click();
    window.chooseRow(3);
    pictures.append({kMainWindow, grabbed(window, window.minimumSize())});

    ui.modifyButton->click();
    ui.pointButton->click();
    if (TeachDialog *dialog = teach.dialog()) {
        // One position poll brings the readouts; the traffic log shows exactly that one.
        QTimer &poll = dialog->pollTimer();
        QObject::connect(&poll, &QTimer::timeout, dialog, [&poll] { poll.stop(); });
        QDeadlineTimer deadline(kPollWaitMs);
        while (poll.isActive() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        pictures.append({kTeachDialog, grabbed(*dialog)});
    } else {
        missing(error, kTeachDialog, QStringLiteral("the teach dialog did not open"));
    }

    ui.pathPreviewAction->trigger();
    if (PathPreviewWindow *previewWindow = preview.preview())
        pictures.append({kPathPreview, grabbed(*previewWindow, kPathPreviewSize)});
    else
        missing(error, kPathPreview, QStringLiteral("the path preview did not open"));

    ui.portMappingAction->trigger();
    if (PortMapDialog *dialog = lineActions.portMapDialog())
        pictures.append({kPortMapping, grabbed(*dialog, kPortMappingSize)});
    else
        missing(error, kPortMapping, QStringLiteral("the port mapping did not open"));

    {
        TrafficLogWindow log(line, &traffic);
        traffic.flush();
        pictures.append({kTrafficLog, grabbed(log, kTrafficLogSize)});
    }
    line.removeTrafficObserver(relay);
}

/// The worked example with two slips an operator might make: a delay typed with its
/// unit, and a jump to a label that no row defines.
void renderProgramCheck(QList<Picture> &pictures, QString *error)
{
    MainWindowFixture fixture;
    MainWindow &window = fixture.window();
    ProgramCheckLauncher check(window);
    QStringList rows = testing::workedExampleRows();
    rows.replace(rows.indexOf(QStringLiteral("WT|1000")), QStringLiteral("WT|1秒"));
    rows.append(QStringLiteral("GLABLE|完成"));
    window.document().replaceProgram(testing::tableOf(rows), static_cast<int>(rows.size()), QStringLiteral("開啟舊檔"));
    window.ui().programCheckAction->trigger();
    if (ProblemsWindow *problems = check.problemsWindow())
        pictures.append({kProgramCheck, grabbed(*problems, kProgramCheckSize)});
    else
        missing(error, kProgramCheck, QStringLiteral("the program check did not open"));
}

} // namespace

void prepareProcess()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "C.UTF-8");
    for (const char *name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI", "QT_STYLE_OVERRIDE",
                             "QT_QPA_PLATFORMTHEME", "QT_ENABLE_HIGHDPI_SCALING", "QT_USE_PHYSICAL_DPI"})
        qunsetenv(name);
}

void prepareApplication()
{
    // As Qt Test's main() does, so that the tool and the test draw text alike.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true);
    QApplication::setStyle(QStringLiteral("Fusion"));
    // A blinking text cursor would be on in one run and off in the next.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    registerFontSubstitutions();
    installQtTranslation(*QCoreApplication::instance());
}

QStringList pictureFileNames()
{
    return {kMainWindow, kTeachDialog, kPathPreview, kPortMapping, kTrafficLog, kProgramCheck};
}

QList<Picture> renderPictures(QString *error)
{
    QList<Picture> pictures;
    renderStation(pictures, error);
    renderProgramCheck(pictures, error);
    return pictures;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // For PNG the lowest quality is the strongest compression; the pixels stay as they are.
    writer.setQuality(0);
    if (!writer.write(image.convertToFormat(QImage::Format_RGB888)))
        return {};
    return bytes;
}

} // namespace talvex::pictures

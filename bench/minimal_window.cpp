// The smallest Qt Widgets program with a main window of the station's size and one
// Traditional Chinese caption: the floor against which the station's start-up time
// and memory are compared. Any program showing Chinese text loads a CJK face, which
// alone weighs several megabytes, so the floor carries one too. It answers the same
// start-up probe as the station.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>

namespace {

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("TALVEX"));
    window.setCentralWidget(new QLabel(QStringLiteral("TALVEX 教導站")));
    window.resize(677, 604);
    window.show();
    if (qEnvironmentVariableIsSet("TALVEX_BENCH_EXIT_WHEN_SHOWN")) {
        QTimer::singleShot(0, &window, [] {
            std::printf("shown rss_kb=%ld\n", residentKb());
            std::fflush(stdout);
            QApplication::quit();
        });
    }
    return QApplication::exec();
}

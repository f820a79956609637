// The smallest Qt Widgets program with a main window of the station's size and one
// Traditional Chinese caption in each of the station's two faces: the floor against
// which the station's start-up time and memory are compared. Any program showing
// Chinese text loads a CJK face, which alone weighs several megabytes; the station's
// form shows the desktop's face and the Ming face (新細明體) side by side, so the
// floor carries both. It answers the same start-up probe as the station.
#include "app/startupprobe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("TALVEX"));
    auto *captions = new QWidget;
    auto *layout = new QVBoxLayout(captions);
    layout->addWidget(new QLabel(QStringLiteral("TALVEX 教導站")));
    auto *ming = new QLabel(QStringLiteral("修改加速度"));
    // The face the station names 新細明體 on Linux, where the benchmarks run.
    ming->setFont(QFont(QStringLiteral("Noto Serif CJK TC")));
    layout->addWidget(ming);
    window.setCentralWidget(captions);
    window.resize(677, 604);
    window.show();
    talvex::armStartupProbe(window);
    return QApplication::exec();
}

// The smallest Qt Widgets program with a main window of the station's size and one
// Traditional Chinese caption: the floor against which the station's start-up time
// and memory are compared. Any program showing Chinese text loads a CJK face, which
// alone weighs several megabytes, so the floor carries one too. It answers the same
// start-up probe as the station.
#include "app/startupprobe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("TALVEX"));
    window.setCentralWidget(new QLabel(QStringLiteral("TALVEX 教導站")));
    window.resize(677, 604);
    window.show();
    talvex::armStartupProbe(window);
    return QApplication::exec();
}

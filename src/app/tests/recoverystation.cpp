// A station for the recovery tests: the real main window and recovery file on the
// test doubles (scripted operator, in-memory line), driven through standard input so
// that a test can kill it at any moment. It takes "--answer yes|no" for the question
// about a left-over, offers left-overs as the station does once the window is shown,
// then prints "ready asked=N file=PATH" and answers one line per command:
//   place KIND [DATUM]  a step through its button ("place LABLE A B")
//   table               "table LASTROW DIRTY|row 0|row 1|...", cells joined by TAB
//   written             "written WRITES PENDING" of its own recovery file
//   quit                "bye", then it quits through "結束(&E)" answering No
#include "app/stationrecovery.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "testing/mainwindowfixture.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <iostream>
#include <string>

using namespace talvex;

namespace {

void reply(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

QString tableLine(MainWindow &window)
{
    QStringList parts{QStringLiteral("table %1 %2").arg(window.document().lastRow()).arg(window.document().isDirty())};
    for (int r = 0; r <= window.document().lastRow(); ++r) {
        const Step row = window.document().table().row(r);
        parts << QStringList(row.begin(), row.end()).join(QLatin1Char('\t'));
    }
    return parts.join(QLatin1Char('|'));
}

void place(testing::MainWindowFixture &station, const QString &kind, const QString &datum)
{
    const MainWindowUi &ui = station.window().ui();
    if (ui.startEditingButton->isEnabled())
        ui.startEditingButton->click();
    if (!datum.isEmpty())
        station.op().answerText(datum);
    if (kind == QLatin1String("WT"))
        ui.delayButton->click();
    else if (kind == QLatin1String("LOOP"))
        ui.loopButton->click();
    else if (kind == QLatin1String("LABLE"))
        ui.labelButton->click();
    else if (kind == QLatin1String("LOOPEND"))
        ui.loopEndButton->click();
    else
        ui.homeButton->click();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The station's own names: the same user data folder.
    QApplication::setApplicationName(QStringLiteral("TALVEX Station"));
    QApplication::setOrganizationName(QStringLiteral("TALVEX"));

    testing::MainWindowFixture station;
    const QStringList arguments = QApplication::arguments();
    for (int i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--answer"))
            arguments.at(i + 1) == QLatin1String("yes") ? station.op().answerYes() : station.op().answerNo();
    }
    MainWindow &window = station.window();
    window.show();
    StationRecovery recovery(window);
    QTimer::singleShot(0, &app, [&] {
        // After the recovery's own offer, which was queued first.
        int asked = 0;
        for (const auto &shown : station.op().shown())
            asked += shown.text == StationRecovery::question() ? 1 : 0;
        station.op().clear();
        reply(QStringLiteral("ready asked=%1 file=%2").arg(asked).arg(recovery.file().path()));
    });

    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        std::string line;
        if (!std::getline(std::cin, line)) {
            input.setEnabled(false);
            return;
        }
        const QStringList words = QString::fromStdString(line).split(QLatin1Char(' '));
        const QString &command = words.at(0);
        if (command == QLatin1String("place")) {
            place(station, words.value(1), words.mid(2).join(QLatin1Char(' ')));
            reply(QStringLiteral("placed %1").arg(window.document().lastRow()));
        } else if (command == QLatin1String("table")) {
            reply(tableLine(window));
        } else if (command == QLatin1String("written")) {
            reply(
                QStringLiteral("written %1 %2").arg(recovery.file().writeCount()).arg(recovery.file().writePending()));
        } else if (command == QLatin1String("quit")) {
            reply(QStringLiteral("bye"));
            station.op().answerNo(); // quit without saving
            window.ui().exitAction->trigger();
        } else {
            reply(QStringLiteral("error ") + command);
        }
    });
    return QApplication::exec();
}

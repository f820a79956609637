// talvex-upload-device DEVICE: uploads the worked example through the station's own
// link and upload code to DEVICE ("COM1", "/dev/pts/5", "tcp://HOST:PORT"), answering
// No to storing and Yes to running, as an operator would. The Windows tests run it
// under Wine on Wine's COM1 and on a tcp:// address, and on Linux on the simulator's
// pseudo-terminal, and compare what the simulator captured each time.
// Exit status 0 when the upload went through without a notice, 1 otherwise.
//
// talvex-upload-device --write-program FILE: writes the worked example as a program
// file instead, for the installed station to open and upload itself.
#include "files/programfile.h"
#include "testing/stationside.h"
#include "testing/workedexample.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--write-program")) {
        QString error;
        if (talvex::writeProgramFile(arguments.at(2), talvex::testing::workedExampleTable(),
                                     talvex::testing::kWorkedExampleLastRow, &error))
            return 0;
        std::fprintf(stderr, "talvex-upload-device: %s\n", error.toUtf8().constData());
        return 1;
    }
    if (arguments.size() != 2) {
        std::fputs("usage: talvex-upload-device DEVICE | --write-program FILE\n", stderr);
        return 2;
    }
    talvex::testing::StationSide station(arguments.at(1));
    station.op.answerNo();
    station.op.answerYes();
    station.upload.run(talvex::testing::workedExampleTable(), talvex::testing::kWorkedExampleLastRow,
                       talvex::testing::workedExampleOptions(), QStringLiteral("1"));
    // The connect's notice and the two questions; anything else is a failure's notice.
    const QStringList shown = station.op.texts();
    for (const QString &text : shown)
        std::fprintf(stderr, "talvex-upload-device: %s\n", text.toUtf8().constData());
    const bool ok = shown.size() == 3 && station.op.unscripted() == 0;
    std::fprintf(stderr, "talvex-upload-device: %s\n", ok ? "uploaded" : "failed");
    return ok ? 0 : 1;
}

// Opening a 500-row program file into the step list, and saving it; opening a file
// of one 10 MB line, in time and in peak memory over the file's size.
#include "app/startupprobe.h"
#include "benchutil.h"
#include "document/programdocument.h"
#include "document/programfileactions.h"
#include "editor/steplistview.h"
#include "files/programfile.h"
#include "programs.h"
#include "table/editstate.h"
#include "testing/scriptedoperator.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fstream>

using namespace talvex;
using namespace talvex::bench;

namespace {

/// Starts a new peak: the kernel sets the peak resident size back to the current one.
bool resetPeakResident()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

/// The floor an open is measured against: reading the file's bytes and nothing else.
double readFloorMs(int runs, const QString &path)
{
    return medianMs(runs, [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        (void)f.readAll();
    });
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.tvx"));
    const ProgramTable program = largestProgram(500);
    writeProgramFile(path, program, 500);

    ProgramDocument document;
    PendingEdit edit;
    StepListView list;
    list.resize(594, 225);
    list.show();
    bindStepList(document, list);
    testing::ScriptedOperator op;
    ProgramFileActions actions(document, edit, op);
    const ProgramTable &table = document.table();

    const double open = medianMs(31, [&] {
        op.answerFile(path);
        actions.openProgram();
    });
    if (document.lastRow() != 500 || list.topLevelItemCount() != 500)
        std::fprintf(stderr, "open read %d rows, listed %d\n", document.lastRow(), list.topLevelItemCount());
    const double readFloor = readFloorMs(31, path);
    report(QStringLiteral("open + list a 500-row file"), QStringLiteral("%1 ms").arg(open, 0, 'f', 2),
           QStringLiteral("<= 20 ms"), open <= 20.0,
           QStringLiteral("%1x reading the file's bytes alone (%2 ms)")
               .arg(open / readFloor, 0, 'f', 1)
               .arg(readFloor, 0, 'f', 3));

    const QString out = dir.filePath(QStringLiteral("saved.tvx"));
    const double save = medianMs(31, [&] { writeProgramFile(out, table, document.lastRow()); });
    const QByteArray bytes = programFileBytes(table, document.lastRow());
    const double writeFloor = medianMs(31, [&] {
        QFile f(dir.filePath(QStringLiteral("plain.tvx")));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
    });
    report(QStringLiteral("save a 500-row program"), QStringLiteral("%1 ms").arg(save, 0, 'f', 2),
           QStringLiteral("<= 10 ms"), save <= 10.0,
           QStringLiteral("%1x a plain write of the same %2 bytes (%3 ms); the save goes through a temporary "
                          "file and a rename, so a failed save never damages the old file")
               .arg(save / writeFloor, 0, 'f', 1)
               .arg(bytes.size())
               .arg(writeFloor, 0, 'f', 3));

    // One line of 10 MB: every field a number, as a hostile or damaged file has it.
    const QString longLine = dir.filePath(QStringLiteral("longline.tvx"));
    {
        QFile f(longLine);
        f.open(QIODevice::WriteOnly);
        f.write("FUNCTINO    IN          XPOINT      YPOINT      OUT\r\nPOINT       ");
        f.write(QByteArray("1 ").repeated(qsizetype(5) * 1024 * 1024));
        f.write("\r\n");
    }
    const double fileKb = static_cast<double>(QFileInfo(longLine).size()) / 1024.0;
    const long beforeKb = statusKb("VmRSS:");
    const bool peakReset = resetPeakResident();
    op.answerFile(longLine);
    actions.openProgram();
    const double peakGrowthKb = static_cast<double>(statusKb("VmHWM:") - beforeKb);
    const double ratio = peakGrowthKb / fileKb;
    report(QStringLiteral("open a file of one 10 MB line: peak memory"), QStringLiteral("%1x").arg(ratio, 0, 'f', 2),
           QStringLiteral("<= 3x the file"), peakReset && ratio <= 3.0,
           QStringLiteral("peak resident growth %1 kB while opening a %2 kB file (%3 step read); every line is cut "
                          "at %4 characters before it is decoded or split")
               .arg(peakGrowthKb, 0, 'f', 0)
               .arg(fileKb, 0, 'f', 0)
               .arg(document.lastRow())
               .arg(kMaxProgramLineCharacters));
    const double openLong = medianMs(5, [&] {
        op.answerFile(longLine);
        actions.openProgram();
    });
    const double longFloor = readFloorMs(5, longLine);
    report(QStringLiteral("open a file of one 10 MB line: time"), QStringLiteral("%1 ms").arg(openLong, 0, 'f', 1),
           QStringLiteral("<= 100 ms"), openLong <= 100.0,
           QStringLiteral("%1x reading the file's bytes alone (%2 ms)")
               .arg(openLong / longFloor, 0, 'f', 1)
               .arg(longFloor, 0, 'f', 1));
    return 0;
}

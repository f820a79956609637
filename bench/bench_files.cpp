// Opening a 500-row program file into the step list, and saving it.
#include "benchutil.h"
#include "editor/steplistview.h"
#include "files/programfile.h"
#include "files/programfileactions.h"
#include "programs.h"
#include "table/editstate.h"
#include "testing/scriptedoperator.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

using namespace talvex;
using namespace talvex::bench;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.tvx"));
    const ProgramTable program = largestProgram(500);
    WriteProgramFile(path, program, 500);

    ProgramTable table;
    table.writeHeader();
    EditState edit;
    StepListView list;
    list.resize(594, 225);
    list.show();
    testing::ScriptedOperator op;
    ProgramFileActions actions(table, edit, list, op);

    const double open = medianMs(31, [&] {
        op.answerFile(path);
        actions.OpenProgram();
    });
    if (edit.LastRow != 500 || list.topLevelItemCount() != 500)
        std::fprintf(stderr, "open read %d rows, listed %d\n", edit.LastRow, list.topLevelItemCount());
    // The floor: reading the same file's bytes and nothing else.
    const double readFloor = medianMs(31, [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        (void)f.readAll();
    });
    report(QStringLiteral("open + list a 500-row file"), QStringLiteral("%1 ms").arg(open, 0, 'f', 2),
           QStringLiteral("<= 20 ms"), open <= 20.0,
           QStringLiteral("%1x reading the file's bytes alone (%2 ms)")
               .arg(open / readFloor, 0, 'f', 1)
               .arg(readFloor, 0, 'f', 3));

    const QString out = dir.filePath(QStringLiteral("saved.tvx"));
    const double save = medianMs(31, [&] { WriteProgramFile(out, table, edit.LastRow); });
    const QByteArray bytes = programFileBytes(table, edit.LastRow);
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
    return 0;
}

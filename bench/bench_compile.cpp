// Compile and listing of the largest program, and how the time grows with its size.
#include "benchutil.h"
#include "compiler/compiler.h"
#include "programs.h"

#include <QCoreApplication>
#include <QTemporaryDir>

using namespace talvex;
using namespace talvex::bench;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString listing = dir.filePath(QStringLiteral("TRY.txt"));

    auto compileAndList = [&](int rows, int *lines) {
        const ProgramTable table = largestProgram(rows);
        CompileOptions options;
        options.SetAcceleration = true;
        options.AccelerationText = QStringLiteral("2000");
        CompiledProgram program;
        // Warm up file system and encoder once before timing.
        compileTable(table, rows, options, program);
        writeListing(program, listing);
        const double ms = medianMs(201, [&] {
            compileTable(table, rows, options, program);
            writeListing(program, listing);
        });
        *lines = program.ProgramTextLast + 1;
        return ms;
    };

    int bigLines = 0;
    int smallLines = 0;
    const double big = compileAndList(500, &bigLines);
    const double small = compileAndList(50, &smallLines);
    // The floor: writing the same listing again, with nothing to compile.
    CompiledProgram compiled;
    compileTable(largestProgram(500), 500, CompileOptions(), compiled);
    const double floor = medianMs(201, [&] { writeListing(compiled, listing); });

    report(QStringLiteral("compile + listing, 500 rows"), QStringLiteral("%1 ms").arg(big, 0, 'f', 3),
           QStringLiteral("<= 1 ms"), big <= 1.0,
           QStringLiteral("%1 lines; %2x writing the listing alone (%3 ms)")
               .arg(bigLines)
               .arg(big / floor, 0, 'f', 1)
               .arg(floor, 0, 'f', 3));
    const double ratio = big / small;
    report(QStringLiteral("compile + listing, 500 rows / 50 rows"), QStringLiteral("%1").arg(ratio, 0, 'f', 2),
           QStringLiteral("<= 12"), ratio <= 12.0,
           QStringLiteral("%1 ms for %2 lines vs %3 ms for %4 lines")
               .arg(big, 0, 'f', 3)
               .arg(bigLines)
               .arg(small, 0, 'f', 3)
               .arg(smallLines));
    return 0;
}

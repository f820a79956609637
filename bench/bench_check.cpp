// The program check of the largest program: run on every change of the table, it has
// to cost nothing the operator could notice.
#include "benchutil.h"
#include "check/programcheck.h"
#include "programs.h"

#include <QCoreApplication>

using namespace talvex;
using namespace talvex::bench;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const ProgramTable table = largestProgram(500);
    CompileOptions options;
    size_t problems = 0;
    checkProgram(table, 500, options);
    const double ms = medianMs(201, [&] { problems = checkProgram(table, 500, options).size(); });
    // The floor: the compile the check reads its lines from.
    const double floor = medianMs(201, [&] { compileForm(table, 500, options); });

    report(QStringLiteral("program check of 500 rows"), QStringLiteral("%1 ms").arg(ms, 0, 'f', 3),
           QStringLiteral("<= 1 ms"), ms <= 1.0,
           QStringLiteral("%1 problems; the compile it includes takes %2 ms").arg(problems).arg(floor, 0, 'f', 3));
    return 0;
}

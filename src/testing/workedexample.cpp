#include "testing/workedexample.h"

#include "testing/stepbuilder.h"

namespace talvex::testing {

QStringList workedExampleRows()
{
    return {"VM|50", "LOOP|3", "POINT|5|100|200|1", "WT|1000", "LOOPEND", "HOME"};
}

ProgramTable workedExampleTable()
{
    return tableOf(workedExampleRows());
}

CompileOptions workedExampleOptions()
{
    CompileOptions options;
    options.SetAcceleration = true;
    options.AccelerationText = QStringLiteral("2000");
    return options;
}

QStringList workedExampleLines()
{
    return {"{",      "CLR VAR;", "VA 2000;", "SI #IN;",    "SI #OUT;",        "SI #L1;",  "$MAIN:;",
            "VM=50;", "#L1=3;",   "$LOOP1:;", "WI 3;",      "WI 1;",           "XMA 100;", "YMA 200;",
            "DN;",    "OUTP 1;",  "WT 1000;", "#L1=#L1-1;", "JNZ #L1,$LOOP1;", "XH;",      "YH;",
            "DN;",    "JP $END;", "$END:;",   "}"};
}

} // namespace talvex::testing

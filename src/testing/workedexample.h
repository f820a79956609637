#pragma once

#include "compiler/compiler.h"
#include "table/programtable.h"

#include <QStringList>

namespace talvex::testing {

// The compiler's worked example, the program the station's tests share: speed 50, then
// a loop of three around a point (wait for inputs 1 and 3, move to 100, 200, set
// output 1) and a one-second delay, then home. Compiled with the acceleration set to
// 2000 it gives 25 lines.

/// Its six rows, each "KIND|IN|X|Y|OUT" (see stepOf()).
QStringList workedExampleRows();
/// LastRow of the worked example's table.
constexpr int kWorkedExampleLastRow = 6;
/// The header and the six rows.
ProgramTable workedExampleTable();
/// The options it is compiled with: "修改加速度" ticked, acceleration 2000.
CompileOptions workedExampleOptions();
/// The 25 lines it compiles to with workedExampleOptions(), from "{" to "}".
QStringList workedExampleLines();

} // namespace talvex::testing

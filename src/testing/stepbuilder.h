#pragma once

#include "table/programtable.h"

#include <QString>
#include <QStringList>

namespace talvex::testing {

/// One step written as "KIND|IN|X|Y|OUT", for example "POINT|5|100|200|1". Columns
/// left out hold "0", as the editor writes them ("HOME" is "HOME|0|0|0|0"); an empty
/// part is an empty cell.
Step stepOf(const QString &encoded);

/// A table with the header in row 0 and @p rows, each written as for stepOf(), as the
/// steps 1..rows.size().
ProgramTable tableOf(const QStringList &rows);

} // namespace talvex::testing

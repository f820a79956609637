#pragma once

#include "table/programtable.h"

#include <QString>

namespace talvex {

struct EditState;

// What the operator did to the table, in the words the undo and redo entries of the
// edit menu show after "復原" and "重做".

/// A step placed: "加入 延遲" when it was appended, "插入第 3 行" or "修改第 3 行" when it
/// went to a chosen row. @p before is the edit state just before the placement,
/// @p after just after it.
QString placementDescription(const EditState &before, const EditState &after, const Step &step);
/// The step's name as the button that places it says it ("回原點" for "HOME").
QString stepName(const QString &kindText);
/// "刪除第 3 行".
QString deleteDescription(int row);
/// "建立新檔".
QString newProgramDescription();
/// "開啟舊檔".
QString openProgramDescription();
/// "還原未存檔的程式": the program a station that did not end normally left behind.
QString recoverProgramDescription();

} // namespace talvex

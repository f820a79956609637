#pragma once

#include "compiler/compiler.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace talvex {

enum class ProblemKind
{
    NotANumber,     ///< a speed, delay, loop count, coordinate or mask that is no number
    UndefinedLabel, ///< a jump to a label no row defines
    DuplicateLabel, ///< a label defined a second time
    UnpairedLoops,  ///< LOOP and LOOPEND rows differ in number
    LoopEndFirst,   ///< a LOOPEND with no LOOP open before it
    TooManyLines,   ///< the compiled program passes its 1001 lines
    TooManySteps,   ///< more than 500 steps
};

/// One thing in the program the controller would not take.
struct ProgramProblem
{
    /// The step row it is on; 0 for the program as a whole.
    int row = 0;
    ProblemKind kind = ProblemKind::NotANumber;
    /// What is wrong, for the operator (Traditional Chinese, with the row when there
    /// is one: 「第 3 行: 延遲時間「abc」不是數字」).
    QString sentence;
};

/// True when the whole of @p text, blanks around it aside, reads as a decimal number:
/// optional sign, digits with at most one decimal point, optional exponent. "abc",
/// "12x" and the empty text do not; the station itself reads their leading part.
bool isDecimalNumber(QStringView text);

/// The labels the LABLE rows among 1..lastRow define, each once, in row order.
QStringList definedLabels(const ProgramTable &table, int lastRow);

/// The problems of rows 1..lastRow of @p table, in row order, the ones of the whole
/// program last.
std::vector<ProgramProblem> checkProgram(const ProgramTable &table, int lastRow, const CompileOptions &options);

/// checkProgram() on a compiled form already at hand (@p form is compileForm() of the
/// same table, rows and options).
std::vector<ProgramProblem> checkForm(const ProgramTable &table, int lastRow, const CompiledForm &form);

} // namespace talvex

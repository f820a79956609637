#pragma once

#include "table/programtable.h"

#include <QString>

#include <array>

namespace talvex {

class Operator;

/// The main window's options that shape the compiled program.
struct CompileOptions
{
    /// "循環" ticked: the program repeats from $MAIN forever instead of stopping.
    bool Repeat = false;
    /// "修改加速度" ticked: the program sets the acceleration to AccelerationText.
    bool SetAcceleration = false;
    /// The acceleration text box's content, copied as it stands.
    QString AccelerationText;
};

/// The compiled program and the loop-count table, owned by the main window and kept
/// between compiles. A compile overwrites lines 0..ProgramTextLast; longer leftovers
/// of an earlier program stay above ProgramTextLast and are never read.
struct CompiledProgram
{
    static constexpr int kLines = 1001;
    static constexpr int kLoopSlots = 50;

    std::array<QString, kLines> ProgramText;
    int ProgramTextLast = -1;
    /// Slots 1..50; slot 0 is unused so that slot k is the k-th "LOOP" row.
    std::array<QString, kLoopSlots + 1> LoopCounts;
};

enum class CompileStatus
{
    Compiled,
    UnpairedLoops, ///< "迴圈數目未成對!"
    TooManyLoops,  ///< more than 50 "LOOP" rows
    TooManyLines,  ///< the program would pass 1001 lines
    NotBig5,       ///< a cell holds a character Big5 cannot carry
};

struct CompileResult
{
    CompileStatus status = CompileStatus::Compiled;
    /// The notice for the operator (Traditional Chinese), empty when compiled.
    QString message;
    /// The table row a NotBig5 refusal names, else 0.
    int row = 0;
};

/// Compiles rows 1..lastRow of @p table into @p program. On any refusal
/// ProgramText and ProgramTextLast are untouched (the pairing pass may already have
/// stored the counts of the refused table in LoopCounts, as a compile always has).
CompileResult compileTable(const ProgramTable &table, int lastRow, const CompileOptions &options,
                           CompiledProgram &program);

/// compileTable() that tells the operator why it refused (title "訊息", OK only).
/// Returns true when the program was compiled.
bool CompileProgram(const ProgramTable &table, int lastRow, const CompileOptions &options, CompiledProgram &program,
                    Operator &op);

/// Where the listing goes: "C:\TRY.txt" on Windows, "TRY.txt" in the current working
/// directory elsewhere.
QString listingFilePath();

/// Writes ProgramText lines 0..ProgramTextLast, in Big5, each ended by CR LF, to
/// @p path, replacing the file. On failure returns false with the reason in @p error.
bool WriteListing(const CompiledProgram &program, const QString &path, QString *error = nullptr);

} // namespace talvex

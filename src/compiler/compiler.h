#pragma once

#include "table/programtable.h"

#include <QString>

#include <array>
#include <vector>

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

/// What one line of the compiled program does. The texts in the comments are the
/// lines as the controller gets them.
enum class Statement
{
    Begin,           ///< "{"
    ClearVariables,  ///< "CLR VAR;"
    SetAcceleration, ///< "VA a;": argument a, the acceleration box's text
    Declare,         ///< "SI #IN;", "SI #OUT;", "SI #Lk;" (loop k)
    Label,           ///< "$name:;": label name (a loop's own label has its loop)
    WaitInput,       ///< "WI k;": argument k, the input waited for
    MoveX,           ///< "XMA x;": argument x
    MoveY,           ///< "YMA y;": argument y
    HomeX,           ///< "XH;"
    HomeY,           ///< "YH;"
    WaitStanding,    ///< "DN;": until both axes stand
    SetOutputs,      ///< "OUTP m;": argument m, the output mask
    SetSpeed,        ///< "VM=v;": argument v
    Delay,           ///< "WT t;": argument t in ms
    Jump,            ///< "JP $name;": label name
    StartOver,       ///< "JP $MAIN;" that ends a cycle of "循環": label "MAIN"
    SetCounter,      ///< "#Lk=n;": loop k, argument n, the head's count
    CountDown,       ///< "#Lk=#Lk-1;": loop k
    JumpUnlessZero,  ///< "JNZ #Lk,$LOOPk;": loop k, label "LOOPk"
    End,             ///< "}"
};

/// One line of the compiled program with what it was made from.
struct ProgramLine
{
    Statement statement = Statement::Begin;
    /// The line as it goes into the listing and down the line.
    QString text;
    /// The table row it comes from; 0 for the prologue and the epilogue.
    int row = 0;
    /// The loop of a head or a foot (SetCounter, its label, CountDown, JumpUnlessZero)
    /// and of the declaration of its counter, else 0. A foot met before any head
    /// closes loop 0 or one below.
    int loop = 0;
    /// The label a Label line defines or a Jump, StartOver or JumpUnlessZero line
    /// jumps to, without "$" (for a loop: "LOOPk").
    QString label;
    /// The text the statement takes from a cell or the options, as typed.
    QString argument;
};

/// The table as the compiler turns it out: the lines of the whole program and the
/// verdict on them. The lines are there even when the table is refused, so that what
/// would run can still be shown: only the input waits stop where the program has
/// passed its 1001 lines (a huge mask would otherwise give millions of them).
struct CompiledForm
{
    std::vector<ProgramLine> lines;
    CompileResult verdict;
    /// The program's "LOOP" rows: loops 1..loops, each with its counter #Lk.
    int loops = 0;
};

/// Compiles rows 1..lastRow of @p table into its compiled form.
CompiledForm compileForm(const ProgramTable &table, int lastRow, const CompileOptions &options);

/// Compiles rows 1..lastRow of @p table into @p program: its compiled form's texts.
/// On any refusal ProgramText and ProgramTextLast are untouched (the counts of the
/// refused table's heads still go into LoopCounts, as far as the slots go, as a
/// compile always has).
CompileResult compileTable(const ProgramTable &table, int lastRow, const CompileOptions &options,
                           CompiledProgram &program);

/// compileTable() that tells the operator why it refused (title "訊息", OK only).
/// Returns true when the program was compiled.
bool compileProgram(const ProgramTable &table, int lastRow, const CompileOptions &options, CompiledProgram &program,
                    Operator &op);

/// Where the listing goes: "C:\TRY.txt" on Windows, "TRY.txt" in the current working
/// directory elsewhere.
QString listingFilePath();

/// Where the listing goes, and where it goes instead when that place cannot be written.
struct ListingPlaces
{
    QString path;
    /// Empty where there is no other place. On Windows an ordinary user may not create
    /// files in C:\, and the listing then goes to TALVEX\TRY.txt in the user's documents.
    QString fallback;
};
ListingPlaces listingPlaces();

/// Writes ProgramText lines 0..ProgramTextLast, in Big5, each ended by CR LF, to
/// @p path, replacing the file. On failure returns false with the reason in @p error.
bool writeListing(const CompiledProgram &program, const QString &path, QString *error = nullptr);

} // namespace talvex

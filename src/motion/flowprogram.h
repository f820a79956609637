#pragma once

#include "motion/motionoptions.h"
#include "table/programtable.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <vector>

namespace talvex {

/// One thing the compiled program does, in the order the controller meets it. A
/// table row becomes zero or more steps, as the compiler expands it; the prologue
/// and epilogue steps carry row 0.
struct FlowStep
{
    enum class Kind
    {
        Move,            ///< both axes to target, then wait until both stand
        WaitInputs,      ///< number waits for inputs (counted, never timed)
        SetOutputs,      ///< the output word of a point
        SetSpeed,        ///< value mm/s
        SetAcceleration, ///< value mm/s²
        Delay,           ///< value ms
        Label,           ///< name
        Jump,            ///< to the label name, at step jumpTo
        SetCounter,      ///< loop counter number := value
        CountDown,       ///< loop counter number -1; unless 0, jump to step jumpTo
        CycleEnd,        ///< "循環": jump to "MAIN"; one cycle is done
        End,             ///< the program ends
    };

    /// jumpTo of a jump whose label is not defined, or defined twice.
    static constexpr int kMissingLabel = -1;
    static constexpr int kDuplicateLabel = -2;

    Kind kind = Kind::Label;
    int row = 0;
    double value = 0.0;
    QPointF target;
    int number = 0;
    QString name;
    int jumpTo = kMissingLabel;
};

/// A counted loop as the compiler numbers it (the k-th "LOOP" row is loop k; which
/// loop a foot closes is the compiler's to say).
struct LoopInfo
{
    int headRow = 0;
    /// The first foot the compiler gives this loop (0 when none does).
    int footRow = 0;
    /// The count as the station reads the head's text.
    double count = 0.0;
};

/// The compiled program turned into the steps the controller runs: a move of its
/// "XMA"/"YMA" (or "XH"/"YH") lines and their "DN", a point's "WI" lines as one
/// count of waits, a loop foot's two lines as one count-down. Labels are found by
/// name, as the controller finds them, so a jump to a loop's label or to "MAIN"
/// behaves as it would on the controller.
class FlowProgram
{
public:
    /// The steps of the table's compiled form.
    FlowProgram(const ProgramTable &table, int lastRow, const MotionOptions &options);
    explicit FlowProgram(const CompiledForm &form);

    const std::vector<FlowStep> &steps() const { return m_steps; }
    /// The compiler's verdict on the table: a table it refuses never runs.
    const CompileResult &compiled() const { return m_compiled; }
    /// Loops 1..loopCount(); index 0 is unused.
    const std::vector<LoopInfo> &loops() const { return m_loops; }
    int loopCount() const { return static_cast<int>(m_loops.size()) - 1; }

private:
    void addLine(const ProgramLine &line);
    FlowStep &add(FlowStep::Kind kind, int row, const QString &name = QString());
    void resolveLabels();

    std::vector<FlowStep> m_steps;
    std::vector<LoopInfo> m_loops;
    /// Where the "XMA"/"YMA" or "XH"/"YH" lines send the axes at the next "DN".
    QPointF m_target;
    CompileResult m_compiled;
};

} // namespace talvex

#include "motion/flowprogram.h"

#include "core/textnumber.h"

#include <QHash>

namespace talvex {

FlowProgram::FlowProgram(const ProgramTable &table, int lastRow, const MotionOptions &options)
    : FlowProgram(compileForm(table, lastRow, options))
{
}

FlowProgram::FlowProgram(const CompiledForm &form)
    // Whether the program runs at all is the compiler's to say: the same limits, the
    // same pairing and the same characters as an upload.
    : m_loops(static_cast<size_t>(form.loops) + 1), m_compiled(form.verdict)
{
    m_steps.reserve(form.lines.size());
    for (const ProgramLine &line : form.lines)
        addLine(line);
    resolveLabels();
}

FlowStep &FlowProgram::add(FlowStep::Kind kind, int row, const QString &name)
{
    FlowStep step;
    step.kind = kind;
    step.row = row;
    step.name = name;
    m_steps.push_back(step);
    return m_steps.back();
}

void FlowProgram::addLine(const ProgramLine &line)
{
    using Kind = FlowStep::Kind;
    const int r = line.row;
    switch (line.statement) {
    case Statement::Begin:
    case Statement::ClearVariables:
    case Statement::Declare:
    case Statement::CountDown: // the "JNZ" below counts down and jumps, as one step
        break;
    case Statement::SetAcceleration:
        add(Kind::SetAcceleration, r).value = leadingNumber(line.argument);
        break;
    case Statement::Label:
        add(Kind::Label, r, line.label);
        break;
    case Statement::WaitInput:
        // A point's waits follow each other; they are counted, never timed.
        if (!m_steps.empty() && m_steps.back().kind == Kind::WaitInputs && m_steps.back().row == r)
            ++m_steps.back().number;
        else
            add(Kind::WaitInputs, r).number = 1;
        break;
    case Statement::MoveX:
        m_target.setX(leadingNumber(line.argument));
        break;
    case Statement::MoveY:
        m_target.setY(leadingNumber(line.argument));
        break;
    case Statement::HomeX:
        m_target.setX(0.0);
        break;
    case Statement::HomeY:
        m_target.setY(0.0);
        break;
    case Statement::WaitStanding:
        add(Kind::Move, r).target = m_target;
        m_target = QPointF();
        break;
    case Statement::SetOutputs:
        add(Kind::SetOutputs, r);
        break;
    case Statement::SetSpeed:
        add(Kind::SetSpeed, r).value = leadingNumber(line.argument);
        break;
    case Statement::Delay:
        add(Kind::Delay, r).value = leadingNumber(line.argument);
        break;
    case Statement::Jump:
        add(Kind::Jump, r, line.label);
        break;
    case Statement::StartOver:
        // "循環": one cycle ends where the program starts over.
        add(Kind::CycleEnd, r, line.label);
        break;
    case Statement::SetCounter: {
        FlowStep &head = add(Kind::SetCounter, r);
        head.number = line.loop;
        head.value = leadingNumber(line.argument);
        if (line.loop >= 1 && line.loop <= loopCount()) {
            LoopInfo &loop = m_loops[static_cast<size_t>(line.loop)];
            loop.headRow = r;
            loop.count = head.value;
        }
        break;
    }
    case Statement::JumpUnlessZero: {
        const int c = line.loop;
        if (c >= 1 && c <= loopCount() && m_loops[static_cast<size_t>(c)].footRow == 0)
            m_loops[static_cast<size_t>(c)].footRow = r;
        add(Kind::CountDown, r, line.label).number = c;
        break;
    }
    case Statement::End:
        add(Kind::End, r);
        break;
    }
}

void FlowProgram::resolveLabels()
{
    QHash<QString, int> labels;
    for (size_t i = 0; i < m_steps.size(); ++i) {
        const FlowStep &step = m_steps[i];
        if (step.kind != FlowStep::Kind::Label)
            continue;
        const auto found = labels.constFind(step.name);
        labels.insert(step.name, found == labels.constEnd() ? static_cast<int>(i) : FlowStep::kDuplicateLabel);
    }
    for (FlowStep &step : m_steps) {
        if (step.kind == FlowStep::Kind::Jump || step.kind == FlowStep::Kind::CountDown ||
            step.kind == FlowStep::Kind::CycleEnd)
            step.jumpTo = labels.value(step.name, FlowStep::kMissingLabel);
    }
}

} // namespace talvex

#include "motion/flowprogram.h"

#include "core/iomask.h"
#include "core/textnumber.h"

#include <QHash>

#include <algorithm>

namespace talvex {

namespace {

QString loopLabel(int k)
{
    return QStringLiteral("LOOP") + QString::number(k);
}

} // namespace

FlowProgram::FlowProgram(const ProgramTable &table, int lastRow, const MotionOptions &options)
{
    lastRow = std::clamp(lastRow, 0, ProgramTable::kMaxSteps);
    // Whether the program runs at all is the compiler's to say: the same limits, the
    // same pairing and the same characters as an upload.
    CompiledProgram scratch;
    m_compiled = compileTable(table, lastRow, options, scratch);

    m_loops.resize(1);
    for (int r = 1; r <= lastRow; ++r) {
        const QString kind = table.cell(r, 0);
        if (kind == QLatin1String("LOOP")) {
            LoopInfo loop;
            loop.headRow = r;
            loop.count = leadingNumber(table.cell(r, 1));
            m_loops.push_back(loop);
        }
    }

    m_steps.reserve(static_cast<size_t>(lastRow) * 2 + 8);
    if (options.SetAcceleration) {
        add(FlowStep::Kind::SetAcceleration, 0);
        m_steps.back().value = leadingNumber(options.AccelerationText);
    }
    add(FlowStep::Kind::Label, 0, QStringLiteral("MAIN"));
    for (int r = 1; r <= lastRow; ++r)
        addRow(table, r);
    if (options.Repeat) {
        // "JP $MAIN;": one cycle ends where the program starts over.
        add(FlowStep::Kind::CycleEnd, 0, QStringLiteral("MAIN"));
    } else {
        add(FlowStep::Kind::Jump, 0, QStringLiteral("END"));
        add(FlowStep::Kind::Label, 0, QStringLiteral("END"));
        add(FlowStep::Kind::End, 0);
    }
    resolveLabels();
}

void FlowProgram::add(FlowStep::Kind kind, int row, const QString &name)
{
    FlowStep step;
    step.kind = kind;
    step.row = row;
    step.name = name;
    m_steps.push_back(step);
}

void FlowProgram::addRow(const ProgramTable &table, int r)
{
    const QString kind = table.cell(r, 0);
    const QString datum = table.cell(r, 1);
    using Kind = FlowStep::Kind;
    if (kind == QLatin1String("POINT")) {
        // Past the line limit the count no longer matters: the table is refused.
        const int waits = static_cast<int>(inputWaitOrder(datum, CompiledProgram::kLines + 1).size());
        if (waits > 0) {
            add(Kind::WaitInputs, r);
            m_steps.back().number = waits;
        }
        add(Kind::Move, r);
        m_steps.back().target = {leadingNumber(table.cell(r, 2)), leadingNumber(table.cell(r, 3))};
        if (leadingNumber(table.cell(r, 4)) != 0.0)
            add(Kind::SetOutputs, r);
    } else if (kind == QLatin1String("HOME")) {
        add(Kind::Move, r);
    } else if (kind == QLatin1String("VM")) {
        add(Kind::SetSpeed, r);
        m_steps.back().value = leadingNumber(datum);
    } else if (kind == QLatin1String("WT")) {
        add(Kind::Delay, r);
        m_steps.back().value = leadingNumber(datum);
    } else if (kind == QLatin1String("LABLE")) {
        add(Kind::Label, r, datum);
    } else if (kind == QLatin1String("GLABLE")) {
        add(Kind::Jump, r, datum);
    } else if (kind == QLatin1String("LOOP")) {
        const int k = ++m_loopNumber;
        m_justOpened = true;
        add(Kind::SetCounter, r);
        m_steps.back().number = k;
        m_steps.back().value = leadingNumber(datum);
        add(Kind::Label, r, loopLabel(k));
    } else if (kind == QLatin1String("LOOPEND")) {
        if (m_justOpened) {
            m_justOpened = false;
            m_closingNumber = m_loopNumber;
        } else {
            --m_closingNumber;
        }
        const int c = m_closingNumber;
        if (c >= 1 && c <= loopCount() && m_loops[static_cast<size_t>(c)].footRow == 0)
            m_loops[static_cast<size_t>(c)].footRow = r;
        add(Kind::CountDown, r, loopLabel(c));
        m_steps.back().number = c;
    }
    // "LINE", "ARC", "CIR" and unknown kinds compile to nothing.
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

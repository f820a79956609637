#include "motion/cycleestimator.h"

#include "motion/loopregions.h"
#include "motion/planarmove.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace talvex {

namespace {

using Kind = FlowStep::Kind;

/// Everything that decides what the program does next, apart from where it is.
struct MachineState
{
    QPointF position;
    double speed = kPowerUpSpeed;
    double acceleration = kDefaultAcceleration;
    /// Loop counters #L1..#Ln (index 0 unused); declared, hence 0, at the start.
    std::vector<double> counters;

    bool sameExcept(const MachineState &other, int counter) const
    {
        if (position != other.position || speed != other.speed || acceleration != other.acceleration)
            return false;
        for (size_t i = 1; i < counters.size(); ++i) {
            if (static_cast<int>(i) != counter && counters[i] != other.counters[i])
                return false;
        }
        return true;
    }
};

/// The machine as a backward jump or a loop foot left it.
struct Snapshot
{
    qint64 serial = 0;
    MachineState state;
    double time = 0.0;
    double waits = 0.0;
};

/// What a self-contained loop did, entered in one state: where it left the
/// machine, and the time and input waits it took.
struct Memo
{
    MachineState entry;
    MachineState exit;
    double seconds = 0.0;
    double waits = 0.0;
};

/// Distinct entry states remembered per loop; a loop meets only a few in practice.
constexpr size_t kMemoPerLoop = 32;

/// How following the steps came to a halt.
enum class Exit
{
    Reached, ///< the step it was asked to stop at
    Ended,
    Endless,
    Stopped,
    TooComplex,
};

class Run
{
public:
    Run(const FlowProgram &program, int lastRow, double startAcceleration, std::vector<RowVisit> *visits)
        : m_steps(program.steps()), m_loops(program.loopCount()), m_visits(visits)
    {
        m_state.acceleration = startAcceleration;
        m_state.counters.assign(static_cast<size_t>(m_loops) + 1, 0.0);
        m_lastTouch.assign(static_cast<size_t>(m_loops) + 1, 0);
        m_snapshots.resize(m_steps.size());
        m_memo.resize(static_cast<size_t>(m_loops) + 1);
        if (m_visits)
            m_visits->assign(static_cast<size_t>(std::max(lastRow, 0)) + 1, RowVisit());
        m_regions = findLoopRegions(m_steps, m_loops);
    }

    CycleEstimate estimate()
    {
        const size_t never = m_steps.size() + 1;
        Exit exit = run(0, never);
        double cycleStart = 0.0;
        double waitsBefore = 0.0;
        if (exit == Exit::Ended && m_startsOver) {
            // The first cycle starts from the origin at the power-up speed, every later
            // one where the previous left the machine: time the second, which all
            // further cycles repeat.
            cycleStart = m_time;
            waitsBefore = m_waits;
            for (std::optional<Snapshot> &seen : m_snapshots)
                seen.reset();
            exit = run(m_restart, never);
        }
        CycleEstimate result;
        switch (exit) {
        case Exit::Reached:
        case Exit::Ended:
            result.outcome = CycleEstimate::Outcome::Ends;
            result.seconds = m_time - cycleStart;
            result.inputWaits = m_waits - waitsBefore;
            break;
        case Exit::Endless:
            result.outcome = CycleEstimate::Outcome::Endless;
            break;
        case Exit::Stopped:
            result.outcome = CycleEstimate::Outcome::Stops;
            result.row = m_stopRow;
            result.reason = m_stopReason;
            break;
        case Exit::TooComplex:
            result.outcome = CycleEstimate::Outcome::TooComplex;
            break;
        }
        return result;
    }

private:
    Exit run(size_t pc, size_t stopAt);
    Exit countDown(size_t &pc);
    Exit enterLoop(int k);

    void visit(int row)
    {
        if (!m_visits || row <= 0 || row >= static_cast<int>(m_visits->size()))
            return;
        RowVisit &v = (*m_visits)[static_cast<size_t>(row)];
        if (v.reached)
            return;
        v.reached = true;
        v.position = m_state.position;
        v.speed = m_state.speed;
        v.acceleration = m_state.acceleration;
    }

    Exit stop(int row, const QString &reason)
    {
        m_stopRow = row;
        m_stopReason = reason;
        return Exit::Stopped;
    }

    Exit badLabel(const FlowStep &step)
    {
        return stop(step.row, step.jumpTo == FlowStep::kDuplicateLabel
                                  ? QStringLiteral("標籤「%1」重複定義").arg(step.name)
                                  : QStringLiteral("找不到標籤「%1」").arg(step.name));
    }

    const std::vector<FlowStep> &m_steps;
    const int m_loops;
    std::vector<RowVisit> *m_visits;
    MachineState m_state;
    double m_time = 0.0;
    double m_waits = 0.0;
    qint64 m_serial = 0;
    std::vector<qint64> m_lastTouch;
    std::vector<std::optional<Snapshot>> m_snapshots;
    std::vector<LoopRegion> m_regions;
    std::vector<std::vector<Memo>> m_memo;
    int m_stopRow = 0;
    QString m_stopReason;
    bool m_startsOver = false;
    size_t m_restart = 0;
};

Exit Run::run(size_t pc, size_t stopAt)
{
    while (pc != stopAt) {
        if (pc >= m_steps.size())
            return Exit::Ended;
        if (++m_serial > kEstimateStepBudget)
            return Exit::TooComplex;
        const FlowStep &s = m_steps[pc];
        visit(s.row);
        switch (s.kind) {
        case Kind::Move:
            m_time += PlanarMove(m_state.position, s.target, m_state.speed, m_state.acceleration).duration();
            m_state.position = s.target;
            break;
        case Kind::WaitInputs:
            m_waits += s.number;
            break;
        case Kind::SetOutputs:
        case Kind::Label:
            break;
        case Kind::SetSpeed:
            // The controller cannot take a speed that would never get the axes anywhere.
            if (!(s.value > 0.0))
                return stop(s.row, QStringLiteral("速度必須大於 0"));
            m_state.speed = s.value;
            break;
        case Kind::SetAcceleration:
            if (!(s.value > 0.0))
                return stop(s.row, QStringLiteral("加速度必須大於 0"));
            m_state.acceleration = s.value;
            break;
        case Kind::Delay:
            if (s.value < 0.0)
                return stop(s.row, QStringLiteral("延遲時間不可為負"));
            m_time += s.value / 1000.0;
            break;
        case Kind::Jump:
            if (s.jumpTo < 0)
                return badLabel(s);
            if (s.jumpTo <= static_cast<int>(pc)) {
                // Back here in the very same state: the same steps come round again.
                std::optional<Snapshot> &seen = m_snapshots[pc];
                if (seen && seen->state.sameExcept(m_state, 0))
                    return Exit::Endless;
                seen = Snapshot{m_serial, m_state, m_time, m_waits};
            }
            pc = static_cast<size_t>(s.jumpTo);
            continue;
        case Kind::SetCounter:
            if (m_regions[static_cast<size_t>(s.number)].selfContained) {
                const Exit exit = enterLoop(s.number);
                if (exit != Exit::Reached)
                    return exit;
                pc = m_regions[static_cast<size_t>(s.number)].foot + 1;
                continue;
            }
            m_state.counters[static_cast<size_t>(s.number)] = s.value;
            m_lastTouch[static_cast<size_t>(s.number)] = m_serial;
            break;
        case Kind::CountDown: {
            const Exit exit = countDown(pc);
            if (exit != Exit::Reached)
                return exit;
            continue;
        }
        case Kind::CycleEnd:
            if (s.jumpTo < 0)
                return badLabel(s);
            m_startsOver = true;
            m_restart = static_cast<size_t>(s.jumpTo);
            return Exit::Ended;
        case Kind::End:
            return Exit::Ended;
        }
        ++pc;
    }
    return Exit::Reached;
}

Exit Run::countDown(size_t &pc)
{
    const FlowStep &s = m_steps[pc];
    const int c = s.number;
    // The compiler declares #L1..#Ln only; a foot numbered outside them has no counter.
    if (c < 1 || c > m_loops)
        return stop(s.row, QStringLiteral("迴圈結束沒有對應的迴圈"));
    double &counter = m_state.counters[static_cast<size_t>(c)];
    counter -= 1.0;
    const qint64 previousTouch = m_lastTouch[static_cast<size_t>(c)];
    m_lastTouch[static_cast<size_t>(c)] = m_serial;
    std::optional<Snapshot> &last = m_snapshots[pc];
    if (counter == 0.0) {
        last.reset();
        ++pc;
        return Exit::Reached;
    }
    if (s.jumpTo < 0)
        return badLabel(s);
    // The pass just ended began in the state the previous one ended in, and nothing
    // but this foot touched the counter: every further pass is this one again.
    if (last && previousTouch == last->serial && last->state.sameExcept(m_state, c)) {
        if (!(counter > 0.0) || std::floor(counter) != counter)
            return Exit::Endless; // counting down from here never meets zero
        m_time += counter * (m_time - last->time);
        m_waits += counter * (m_waits - last->waits);
        counter = 0.0;
        last.reset();
        ++pc;
        return Exit::Reached;
    }
    last = Snapshot{m_serial, m_state, m_time, m_waits};
    pc = static_cast<size_t>(s.jumpTo);
    return Exit::Reached;
}

Exit Run::enterLoop(int k)
{
    const LoopRegion &region = m_regions[static_cast<size_t>(k)];
    const FlowStep &head = m_steps[region.head];
    auto sameEntry = [&](const MachineState &a) {
        if (a.position != m_state.position || a.speed != m_state.speed || a.acceleration != m_state.acceleration)
            return false;
        for (int j : region.inner) {
            if (a.counters[static_cast<size_t>(j)] != m_state.counters[static_cast<size_t>(j)])
                return false;
        }
        return true;
    };
    auto touch = [&](int j) { m_lastTouch[static_cast<size_t>(j)] = m_serial; };

    std::vector<Memo> &memo = m_memo[static_cast<size_t>(k)];
    for (const Memo &known : memo) {
        if (!sameEntry(known.entry))
            continue;
        m_state.position = known.exit.position;
        m_state.speed = known.exit.speed;
        m_state.acceleration = known.exit.acceleration;
        m_state.counters[static_cast<size_t>(k)] = known.exit.counters[static_cast<size_t>(k)];
        touch(k);
        for (int j : region.inner) {
            m_state.counters[static_cast<size_t>(j)] = known.exit.counters[static_cast<size_t>(j)];
            touch(j);
        }
        m_time += known.seconds;
        m_waits += known.waits;
        return Exit::Reached;
    }

    Memo entry;
    entry.entry = m_state;
    const double startTime = m_time;
    const double startWaits = m_waits;
    m_state.counters[static_cast<size_t>(k)] = head.value;
    touch(k);
    const Exit exit = run(region.head + 1, region.foot + 1);
    if (exit == Exit::Reached && memo.size() < kMemoPerLoop) {
        entry.exit = m_state;
        entry.seconds = m_time - startTime;
        entry.waits = m_waits - startWaits;
        memo.push_back(std::move(entry));
    }
    return exit;
}

} // namespace

CycleEstimate estimateCycle(const FlowProgram &program, int lastRow, double startAcceleration,
                            std::vector<RowVisit> *visits)
{
    const CompileResult &compiled = program.compiled();
    if (compiled.status != CompileStatus::Compiled) {
        CycleEstimate refused;
        refused.outcome = CycleEstimate::Outcome::NotCompiled;
        switch (compiled.status) {
        case CompileStatus::TooManyLoops:
            refused.reason = QStringLiteral("迴圈數目超過%1個").arg(CompiledProgram::kLoopSlots);
            break;
        case CompileStatus::UnpairedLoops:
            refused.reason = QStringLiteral("迴圈數目未成對");
            break;
        case CompileStatus::TooManyLines:
            refused.reason = QStringLiteral("程式超過%1行").arg(CompiledProgram::kLines);
            break;
        case CompileStatus::NotBig5:
            refused.reason = compiled.row > 0 ? QStringLiteral("第 %1 行有 Big5 無法存放的字").arg(compiled.row)
                                              : QStringLiteral("加速度有 Big5 無法存放的字");
            break;
        case CompileStatus::Compiled:
            break;
        }
        if (visits)
            visits->assign(static_cast<size_t>(std::max(lastRow, 0)) + 1, RowVisit());
        return refused;
    }
    Run run(program, lastRow, startAcceleration, visits);
    return run.estimate();
}

} // namespace talvex

#include "motion/programpath.h"

#include "core/iomask.h"
#include "core/textnumber.h"
#include "motion/cycleestimator.h"
#include "motion/flowprogram.h"
#include "motion/planarmove.h"
#include "motion/stepdescriptions.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace talvex {

namespace {

/// The target of a point row: its X and Y as the station reads them.
QPointF pointTarget(const StepRow &step)
{
    return {leadingNumber(step.x()), leadingNumber(step.y())};
}

/// Where the head is and how it moves before a row runs, the program read top to
/// bottom with every loop passed once and no jump taken. Rows the program never
/// reaches are drawn from here.
std::vector<RowVisit> walkInTableOrder(const ProgramTable &table, int lastRow, double acceleration)
{
    std::vector<RowVisit> walk(static_cast<size_t>(lastRow) + 2);
    RowVisit state;
    state.reached = true;
    state.speed = kPowerUpSpeed;
    state.acceleration = acceleration;
    for (int r = 1; r <= lastRow + 1; ++r) {
        walk[static_cast<size_t>(r)] = state;
        const StepRow step = table.stepRow(r);
        switch (step.kind()) {
        case StepKind::Point:
            state.position = pointTarget(step);
            break;
        case StepKind::Home:
            state.position = {};
            break;
        case StepKind::Speed:
            if (leadingNumber(step.datum()) > 0.0)
                state.speed = leadingNumber(step.datum());
            break;
        case StepKind::Unknown:
        case StepKind::Line:
        case StepKind::Arc:
        case StepKind::Circle:
        case StepKind::Wait:
        case StepKind::Loop:
        case StepKind::LoopEnd:
        case StepKind::Label:
        case StepKind::JumpToLabel:
            break;
        }
    }
    return walk;
}

bool countsDownToZero(double count)
{
    return count >= 1.0 && std::floor(count) == count;
}

QString twoDecimals(double value)
{
    return QString::number(value, 'f', 2);
}

class PathBuilder
{
public:
    PathBuilder(const ProgramTable &table, int lastRow, const MotionOptions &options)
        : m_table(table), m_lastRow(std::clamp(lastRow, 0, ProgramTable::kMaxSteps)), m_flow(table, m_lastRow, options)
    {
        double acceleration = startingAcceleration(options);
        if (options.SetAcceleration && leadingNumber(options.AccelerationText) > 0.0)
            acceleration = leadingNumber(options.AccelerationText);
        m_walk = walkInTableOrder(table, m_lastRow, acceleration);
        m_path.estimate = estimateCycle(m_flow, m_lastRow, startingAcceleration(options), &m_visits);
        // A table the compiler refuses never runs, and a flow too tangled to follow to
        // its end says nothing of the rows it did not reach: draw those as written.
        m_followed = m_path.estimate.outcome != CycleEstimate::Outcome::NotCompiled &&
                     m_path.estimate.outcome != CycleEstimate::Outcome::TooComplex;
    }

    ProgramPath build()
    {
        for (int r = 1; r <= m_lastRow; ++r)
            addRow(r);
        addLoops();
        addJumps();
        finish();
        return std::move(m_path);
    }

private:
    const RowVisit &stateAt(int row) const
    {
        const RowVisit &visit = m_visits[static_cast<size_t>(row)];
        return m_followed && visit.reached ? visit : m_walk[static_cast<size_t>(row)];
    }
    bool reached(int row) const { return !m_followed || m_visits[static_cast<size_t>(row)].reached; }

    void mark(int row, PathMark::Kind kind, QPointF position, const QString &description)
    {
        m_path.marks.push_back({row, kind, position, description, reached(row)});
    }

    void addRow(int r);
    void addLoops();
    void addJumps();
    void finish();

    const ProgramTable &m_table;
    const int m_lastRow;
    FlowProgram m_flow;
    std::vector<RowVisit> m_walk;
    std::vector<RowVisit> m_visits;
    bool m_followed = true;
    ProgramPath m_path;
};

void PathBuilder::addRow(int r)
{
    const StepRow step = m_table.stepRow(r);
    const QString &datum = step.datum();
    const RowVisit &state = stateAt(r);
    switch (step.kind()) {
    case StepKind::Point:
    case StepKind::Home: {
        const bool home = step.kind() == StepKind::Home;
        const QPointF target = home ? QPointF() : pointTarget(step);
        if (!home) {
            // The waits come before the move, where the head still stands.
            const QList<int> waits = inputWaitOrder(datum, 16);
            if (!waits.isEmpty())
                mark(r, PathMark::Kind::InputWait, state.position, describeInputWaits(r, waits));
        }
        const PlanarMove move(state.position, target, state.speed, state.acceleration);
        m_path.moves.push_back({r, home, target, move.samples(), reached(r)});
        if (!home && leadingNumber(step.out()) != 0.0)
            mark(r, PathMark::Kind::Outputs, target, describeOutputs(r, step.out()));
        break;
    }
    case StepKind::Speed:
        mark(r, PathMark::Kind::Speed, state.position, describeSpeed(r, leadingNumber(datum)));
        break;
    case StepKind::Wait:
        mark(r, PathMark::Kind::Delay, state.position, describeDelay(r, leadingNumber(datum)));
        break;
    case StepKind::Label:
        mark(r, PathMark::Kind::Label, state.position, describeLabel(r, datum));
        break;
    case StepKind::Unknown:
    case StepKind::Line:
    case StepKind::Arc:
    case StepKind::Circle:
    case StepKind::Loop:
    case StepKind::LoopEnd:
    case StepKind::JumpToLabel:
        // Loops and jumps are drawn from the compiled flow, by addLoops and addJumps.
        break;
    }
}

void PathBuilder::addLoops()
{
    const std::vector<LoopInfo> &loops = m_flow.loops();
    for (size_t k = 1; k < loops.size(); ++k) {
        const LoopInfo &loop = loops[k];
        const int bodyEnd = loop.footRow > 0 ? loop.footRow : m_lastRow + 1;
        // The badge stands at the body's first move.
        QPointF position = stateAt(loop.headRow).position;
        for (int r = loop.headRow + 1; r < bodyEnd; ++r) {
            const StepRow step = m_table.stepRow(r);
            if (step.kind() == StepKind::Point || step.kind() == StepKind::Home) {
                position = step.kind() == StepKind::Home ? QPointF() : pointTarget(step);
                break;
            }
        }
        const bool finite = countsDownToZero(loop.count);
        const QString text = finite ? QStringLiteral("×") + plainNumber(loop.count) : QStringLiteral("×∞");
        m_path.loops.push_back(
            {loop.headRow, position, text, describeLoop(loop.headRow, m_table.stepRow(loop.headRow).datum(), finite)});
    }
}

void PathBuilder::addJumps()
{
    const std::vector<FlowStep> &steps = m_flow.steps();
    for (const FlowStep &step : steps) {
        if (step.kind != FlowStep::Kind::Jump || step.row == 0)
            continue;
        const QPointF from = stateAt(step.row).position;
        mark(step.row, PathMark::Kind::Jump, from, describeJump(step.row, step.name, step.jumpTo));
        if (step.jumpTo < 0)
            continue;
        // The arrow ends where the head stands when the label runs: back where it
        // was for a jump back, right here for a jump forward (the rows in between are
        // drawn as never travelled). The start label runs at the origin.
        const FlowStep &label = steps[static_cast<size_t>(step.jumpTo)];
        QPointF to = from;
        if (label.row > 0)
            to = stateAt(label.row).position;
        else if (label.name == QLatin1String("MAIN"))
            to = QPointF();
        m_path.jumps.push_back({step.row, from, to, reached(step.row)});
    }
}

void PathBuilder::finish()
{
    // In row order, so the marks that share a point line up as the rows run.
    std::stable_sort(m_path.marks.begin(), m_path.marks.end(),
                     [](const PathMark &a, const PathMark &b) { return a.row < b.row; });
    QRectF bounds(QPointF(), QSizeF(0.0, 0.0));
    auto include = [&bounds](QPointF p) {
        bounds.setLeft(std::min(bounds.left(), p.x()));
        bounds.setRight(std::max(bounds.right(), p.x()));
        bounds.setTop(std::min(bounds.top(), p.y()));
        bounds.setBottom(std::max(bounds.bottom(), p.y()));
    };
    for (const PathMove &move : m_path.moves) {
        for (const QPointF &p : move.samples)
            include(p);
        if (move.reached)
            m_path.lengthMm += polylineLength(move.samples);
    }
    for (const PathMark &mark : m_path.marks)
        include(mark.position);
    m_path.bounds = bounds;
}

} // namespace

QString ProgramPath::summary() const
{
    // A figure that is no number, or beyond what a day at the fastest speed could
    // reach, says nothing an operator can use: it is shown as such, not as 300 digits.
    constexpr double kDaySeconds = 24.0 * 3600.0;
    constexpr double kDayLengthMm = 500.0 * kDaySeconds;
    const bool lengthKnown = std::isfinite(lengthMm) && lengthMm <= kDayLengthMm;
    const QString unknown = QStringLiteral("無法估計");
    QStringList parts;
    switch (estimate.outcome) {
    case CycleEstimate::Outcome::Ends:
        if (lengthKnown && std::isfinite(estimate.seconds) && estimate.seconds <= kDaySeconds)
            parts << QStringLiteral("預估週期時間: %1 秒").arg(twoDecimals(estimate.seconds));
        else
            parts << QStringLiteral("預估週期時間: ") + unknown;
        break;
    case CycleEstimate::Outcome::Endless:
        parts << QStringLiteral("程式不會結束");
        break;
    case CycleEstimate::Outcome::Stops:
        parts << (estimate.row > 0 ? QStringLiteral("程式會在第 %1 行停止: %2").arg(estimate.row).arg(estimate.reason)
                                   : QStringLiteral("程式會停止: %1").arg(estimate.reason));
        break;
    case CycleEstimate::Outcome::NotCompiled:
        parts << QStringLiteral("無法預估: %1").arg(estimate.reason);
        break;
    case CycleEstimate::Outcome::TooComplex:
        parts << QStringLiteral("無法預估: 程式流程太複雜");
        break;
    }
    parts << (lengthKnown ? QStringLiteral("路徑長度: %1 mm").arg(QString::number(lengthMm, 'f', 1))
                          : QStringLiteral("路徑長度: ") + unknown);
    if (estimate.outcome == CycleEstimate::Outcome::Ends && estimate.inputWaits > 0.0)
        parts << QStringLiteral("含 %1 個等待輸入 (未計入)").arg(QString::number(estimate.inputWaits, 'f', 0));
    return parts.join(QStringLiteral("，"));
}

ProgramPath computeProgramPath(const ProgramTable &table, int lastRow, const MotionOptions &options)
{
    return PathBuilder(table, lastRow, options).build();
}

} // namespace talvex

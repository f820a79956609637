// The path preview: working out the cycle-time estimate of a 500-row program, and
// redrawing the preview of one into an 800 × 600 image.
#include "benchutil.h"
#include "compiler/compiler.h"
#include "motion/cycleestimator.h"
#include "motion/programpath.h"
#include "preview/pathview.h"
#include "programs.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

using namespace talvex;
using namespace talvex::bench;

namespace {

/// 500 rows: 25 nested loops of 3 passes around 450 rows of points, speeds and
/// delays (within the compiler's line limit). The estimate must not run the 3^25
/// passes of the innermost body one by one.
ProgramTable nestedLoopProgram()
{
    constexpr int kRows = 500;
    constexpr int kDepth = 25;
    const QString zero = QStringLiteral("0");
    ProgramTable table;
    table.writeHeader();
    for (int r = 1; r <= kRows; ++r) {
        if (r <= kDepth)
            table.setRow(r, {QStringLiteral("LOOP"), QStringLiteral("3"), zero, zero, zero});
        else if (r > kRows - kDepth)
            table.setRow(r, {QStringLiteral("LOOPEND"), zero, zero, zero, zero});
        else if (r % 4 == 0)
            table.setRow(r, {QStringLiteral("POINT"), zero, QString::number(r), QString::number(r * 2 % 300), zero});
        else if (r % 4 == 1)
            table.setRow(r, {QStringLiteral("VM"), QString::number(100 + r % 200), zero, zero, zero});
        else
            table.setRow(r, {QStringLiteral("WT"), QStringLiteral("10"), zero, zero, zero});
    }
    return table;
}

double estimateMs(const ProgramTable &table, const MotionOptions &options, CycleEstimate *estimate)
{
    *estimate = estimateCycle(FlowProgram(table, 500, options), 500, startingAcceleration(options));
    return medianMs(201, [&] { estimateCycle(FlowProgram(table, 500, options), 500, startingAcceleration(options)); });
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    MotionOptions options;
    options.SetAcceleration = true;
    options.AccelerationText = QStringLiteral("2000");
    const ProgramTable table = largestProgram(500);

    // The floor: compiling the same table, which the estimate does first to learn
    // whether the table runs at all.
    CompiledProgram compiled;
    const double compileFloor = medianMs(201, [&] { compileTable(table, 500, options, compiled); });

    CycleEstimate estimate;
    const double plain = estimateMs(table, options, &estimate);
    report(QStringLiteral("cycle-time estimate, 500 rows"), QStringLiteral("%1 ms").arg(plain, 0, 'f', 3),
           QStringLiteral("<= 1 ms"), plain <= 1.0,
           QStringLiteral("%1 s estimated; %2x compiling the same table (%3 ms)")
               .arg(estimate.seconds, 0, 'f', 2)
               .arg(plain / compileFloor, 0, 'f', 2)
               .arg(compileFloor, 0, 'f', 3));

    const double looped = estimateMs(nestedLoopProgram(), options, &estimate);
    const bool timed = estimate.outcome == CycleEstimate::Outcome::Ends;
    report(QStringLiteral("cycle-time estimate, 500 rows in 25 nested loops"),
           QStringLiteral("%1 ms").arg(looped, 0, 'f', 3), QStringLiteral("<= 1 ms"), timed && looped <= 1.0,
           QStringLiteral("%1 s estimated (3^25 passes of the inner body); %2x the estimate without loops")
               .arg(timed ? QString::number(estimate.seconds, 'g', 4) : QStringLiteral("no time"))
               .arg(looped / plain, 0, 'f', 2));

    PathView view;
    view.resize(800, 600);
    view.show();
    QApplication::processEvents();
    const double model = medianMs(51, [&] { view.setPath(computeProgramPath(table, 500, options)); });
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    auto redraw = [&] {
        QPainter painter(&image);
        view.render(painter);
    };
    redraw();
    const double drawn = medianMs(101, redraw);
    // The floor: the same view with no program, only the plane and its grid.
    PathView empty;
    empty.resize(800, 600);
    empty.show();
    QApplication::processEvents();
    empty.setPath(computeProgramPath(ProgramTable(), 0, options));
    const double floor = medianMs(101, [&] {
        QPainter painter(&image);
        empty.render(painter);
    });
    report(QStringLiteral("preview redraw, 500 rows, 800 x 600"), QStringLiteral("%1 ms").arg(drawn, 0, 'f', 2),
           QStringLiteral("<= 16 ms"), drawn <= 16.0,
           QStringLiteral("%1x the empty plane (%2 ms); the path model behind it %3 ms")
               .arg(drawn / floor, 0, 'f', 1)
               .arg(floor, 0, 'f', 3)
               .arg(model, 0, 'f', 2));
    return 0;
}

#include "link/iopanel.h"

#include "core/iomask.h"
#include "core/operator.h"
#include "link/controllersession.h"
#include "link/line.h"
#include "link/linkview.h"

namespace talvex {

LinkView::~LinkView() = default;

namespace {

void reportClosed(Line &line, LinkView &view)
{
    line.op().notice(Line::notRespondingText());
    view.setLinkStatus(QStringLiteral("未連線"));
}

} // namespace

void clearInputs(LinkView &view)
{
    for (int k = 1; k <= 16; ++k)
        view.setInputChecked(k, false);
}

void pollInputs(ControllerSession &session, LinkView &view)
{
    Line &line = session.line();
    Line::Operation operation(line);
    if (!line.isOpen()) {
        reportClosed(line, view);
        return;
    }
    const std::optional<QString> answer = session.readInputs();
    if (!answer)
        return;

    // The answer's leading number, rounded and clamped to 32 bits: a word above 65535
    // lights every box; 0, a negative word or no number at all clears them.
    const std::optional<MaskSweep<16>> inputs = sweepMask<16>(QStringView(*answer));
    if (!inputs) {
        clearInputs(view);
    } else {
        for (int k = 16; k >= 1; --k)
            view.setInputChecked(k, inputs->boxes[static_cast<size_t>(k) - 1]);
    }

    if (const std::optional<QString> acceleration = session.readAcceleration())
        view.setAccelerationReadout(*acceleration);
}

void syncOutputs(ControllerSession &session, LinkView &view, OutputLatch &latch)
{
    Line::Operation operation(session.line());
    for (int n = 1; n <= OutputLatch::kOutputs; ++n) {
        if (!latch(n) && view.outputChecked(n)) {
            if (!session.setOutput(n, true))
                return;
            latch.set(n, true);
        }
        if (latch(n) && !view.outputChecked(n)) {
            if (!session.setOutput(n, false))
                return;
            latch.set(n, false);
        }
    }
}

void inputBoxClicked(Line &line, LinkView &view)
{
    if (!line.isOpen())
        reportClosed(line, view);
}

} // namespace talvex

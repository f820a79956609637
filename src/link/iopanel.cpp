#include "link/iopanel.h"

#include "core/iomask.h"
#include "core/operator.h"
#include "link/link.h"
#include "link/linkview.h"
#include "link/sleeper.h"

namespace talvex {

LinkView::~LinkView() = default;

namespace {

void reportClosed(Link &link, LinkView &view)
{
    link.op().notice(Link::notRespondingText());
    view.setLinkStatus(QStringLiteral("未連線"));
}

} // namespace

void clearInputs(LinkView &view)
{
    for (int k = 1; k <= 16; ++k)
        view.setInputChecked(k, false);
}

void PollInputs(Link &link, LinkView &view)
{
    Link::Operation operation(link);
    if (!link.isOpen()) {
        reportClosed(link, view);
        return;
    }
    link.discardReceived(); // stale replies are not the answer to this question
    if (!link.writeLine(QStringLiteral("?INP")))
        return;
    link.sleeper().sleep(Link::kQueryWaitMs);
    const QString answer = link.readText();
    if (!link.isOpen())
        return;

    // The answer's leading number, rounded and clamped to 32 bits: a word above 65535
    // lights every box; 0, a negative word or no number at all clears them.
    const std::optional<MaskSweep<16>> inputs = sweepMask<16>(QStringView(answer));
    if (!inputs) {
        clearInputs(view);
    } else {
        for (int k = 16; k >= 1; --k)
            view.setInputChecked(k, inputs->boxes[static_cast<size_t>(k) - 1]);
    }

    const QString acceleration = link.TimedQuery(QStringLiteral("?VA"));
    if (link.isOpen())
        view.setAccelerationReadout(acceleration);
}

void SyncOutputs(Link &link, LinkView &view, OutputLatch &latch)
{
    Link::Operation operation(link);
    for (int n = 1; n <= OutputLatch::kOutputs && link.isOpen(); ++n) {
        if (!latch(n) && view.outputChecked(n)) {
            if (!link.writeLine(QStringLiteral("SET P") + QString::number(n)))
                return;
            latch.set(n, true);
        }
        if (latch(n) && !view.outputChecked(n)) {
            if (!link.writeLine(QStringLiteral("CLR P") + QString::number(n)))
                return;
            latch.set(n, false);
        }
    }
}

void inputBoxClicked(Link &link, LinkView &view)
{
    if (!link.isOpen())
        reportClosed(link, view);
}

} // namespace talvex

#include "link/iopanel.h"

#include "core/operator.h"
#include "core/textnumber.h"
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

std::array<bool, 16> decodeInputWord(long long word)
{
    std::array<bool, 16> boxes{};
    long long v = word;
    for (int k = 16; k >= 1; --k) {
        const long long weight = 1LL << (k - 1);
        if (v >= weight) {
            boxes[static_cast<size_t>(k) - 1] = true;
            v -= weight;
        }
    }
    return boxes;
}

void PollInputs(Link &link, LinkView &view)
{
    Link::Operation operation(link);
    if (!link.isOpen()) {
        reportClosed(link, view);
        return;
    }
    BusyScope busy(link);
    link.readText(); // stale replies are not the answer to this question
    if (!link.writeLine(QStringLiteral("?INP")))
        return;
    link.sleeper().sleep(Link::kQueryWaitMs);
    const QString answer = link.readText();
    if (!link.isOpen())
        return;

    // The answer's leading number, rounded and clamped to 32 bits: a reply outside
    // that range lights every box (large) or none (negative).
    const qint32 v = wholeNumberOf(answer);
    if (v == 0) {
        clearInputs(view);
    } else {
        const std::array<bool, 16> boxes = decodeInputWord(v);
        for (int k = 16; k >= 1; --k)
            view.setInputChecked(k, boxes[static_cast<size_t>(k) - 1]);
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

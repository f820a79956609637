// Feeds arbitrary bytes to the station as a controller's reply, through the path the
// station takes: Big5 to text, then the "?INP" reading (leading number, whole number,
// greedy decode into the sixteen input boxes) and the position reading (coordinateText). A
// controller that answers garbage, echoes, or a huge or negative number must still give
// a well-defined set of boxes and a coordinate made of digits and points only.
#include "core/big5.h"
#include "core/iomask.h"
#include "core/text.h"
#include "core/textnumber.h"

#include <cmath>
#include <cstdlib>

using namespace talvex;

namespace {

bool keptInCoordinate(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.');
}

void checkInputWord(const QString &answer)
{
    const qint32 v = wholeNumberOf(answer);
    const std::optional<MaskSweep<16>> sweep = sweepMask<16>(QStringView(answer));
    const MaskBoxes<16> boxes = sweep ? sweep->boxes : MaskBoxes<16>{};
    long long sum = 0;
    int checked = 0;
    for (int k = 1; k <= 16; ++k) {
        if (boxes[static_cast<size_t>(k) - 1]) {
            sum += 1LL << (k - 1);
            ++checked;
        }
    }
    if (v >= 65535 && checked != 16)
        std::abort();
    if (v <= 0 && checked != 0)
        std::abort();
    if (v > 0 && v < 65535 && sum != v)
        std::abort();
}

void checkNumber(const QString &answer)
{
    const double n = leadingNumber(answer);
    if (!std::isfinite(n))
        std::abort();
    // A non-zero value can only come from a digit in the reply.
    if (n != 0.0 && coordinateText(answer).isEmpty())
        std::abort();
}

void checkPosition(const QString &answer)
{
    const QString kept = coordinateText(answer);
    // Every digit and point of the reply, in order, and nothing else.
    qsizetype at = 0;
    for (const QChar c : answer) {
        if (!keptInCoordinate(c))
            continue;
        if (at >= kept.size() || kept.at(at) != c)
            std::abort();
        ++at;
    }
    if (at != kept.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString answer = decodeBig5(bytes);
    checkInputWord(answer);
    checkNumber(answer);
    checkPosition(answer);
    return 0;
}

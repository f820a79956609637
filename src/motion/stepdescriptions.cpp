#include "motion/stepdescriptions.h"

#include "core/iomask.h"
#include "core/textnumber.h"
#include "motion/flowprogram.h"

#include <QStringList>

namespace talvex {

namespace {

QString rowPrefix(int row)
{
    return QStringLiteral("第 %1 行: ").arg(row);
}

QString numberList(const QList<int> &numbers)
{
    QStringList parts;
    parts.reserve(numbers.size());
    for (int n : numbers)
        parts << QString::number(n);
    return parts.join(QStringLiteral(", "));
}

} // namespace

QString plainNumber(double value)
{
    QString text = QString::number(value, 'f', 3);
    while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString describeSpeed(int row, double speed)
{
    return rowPrefix(row) + QStringLiteral("速度 %1 mm/s").arg(plainNumber(speed));
}

QString describeDelay(int row, double milliseconds)
{
    return rowPrefix(row) + QStringLiteral("延遲 %1 秒").arg(plainNumber(milliseconds / 1000.0));
}

QString describeInputWaits(int row, const QList<int> &inputs)
{
    return rowPrefix(row) + QStringLiteral("等待輸入 %1").arg(numberList(inputs));
}

QString describeOutputs(int row, const QString &mask)
{
    constexpr std::size_t kOutputs = 8;
    const auto sweep = sweepMask<kOutputs>(QStringView(mask));
    if (!sweep || sweep->rest != 0)
        return rowPrefix(row) + QStringLiteral("設定輸出 (OUTP %1)").arg(mask.trimmed());
    QList<int> outputs;
    for (std::size_t n = 1; n <= kOutputs; ++n) {
        if (sweep->boxes[n - 1])
            outputs << static_cast<int>(n);
    }
    // The output word is written whole: an output left out of the mask goes off.
    return rowPrefix(row) + QStringLiteral("設定輸出 %1 (其餘關閉)").arg(numberList(outputs));
}

QString describeLabel(int row, const QString &name)
{
    return rowPrefix(row) + QStringLiteral("標籤「%1」").arg(name);
}

QString describeJump(int row, const QString &name, int jumpTo)
{
    QString text = rowPrefix(row) + QStringLiteral("跳至標籤「%1」").arg(name);
    if (jumpTo == FlowStep::kMissingLabel)
        text += QStringLiteral(" (找不到此標籤)");
    else if (jumpTo == FlowStep::kDuplicateLabel)
        text += QStringLiteral(" (標籤重複定義)");
    return text;
}

QString describeLoop(int row, const QString &countText, bool countsDown)
{
    if (countsDown)
        return rowPrefix(row) + QStringLiteral("迴圈 %1 次").arg(plainNumber(leadingNumber(countText)));
    return rowPrefix(row) + QStringLiteral("迴圈次數「%1」不是正整數, 迴圈不會結束").arg(countText);
}

} // namespace talvex

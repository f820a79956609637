#include "motion/stepdescriptions.h"

#include "core/iomask.h"
#include "core/textnumber.h"
#include "motion/flowprogram.h"
#include "table/programtable.h"

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

QString ioList(const QList<int> &numbers)
{
    QStringList parts;
    parts.reserve(numbers.size());
    for (int n : numbers)
        parts << QString::number(n);
    return parts.join(QStringLiteral("、"));
}

/// The inputs a point waits for, lowest first; a mask past input 16 waits again from
/// the top, so that one is told in the order it waits.
QString inputsOf(const QString &mask)
{
    constexpr std::size_t kInputs = 16;
    constexpr int kWaitsShown = 48;
    const auto sweep = sweepMask<kInputs>(QStringView(mask));
    if (!sweep)
        return {};
    QList<int> inputs;
    if (sweep->rest != 0)
        return ioList(inputWaitOrder(mask, kWaitsShown));
    for (std::size_t k = 1; k <= kInputs; ++k) {
        if (sweep->boxes[k - 1])
            inputs << static_cast<int>(k);
    }
    return ioList(inputs);
}

QString pointSentence(const StepRow &step)
{
    QString text = QStringLiteral("移到 X %1, Y %2").arg(step.x().trimmed(), step.y().trimmed());
    const QString inputs = inputsOf(step.datum());
    if (!inputs.isEmpty())
        text = QStringLiteral("等待輸入 %1 後").arg(inputs) + text;
    // As the compiler does: an OUT of no value sets nothing.
    if (leadingNumber(step.out()) == 0.0)
        return text;
    constexpr std::size_t kOutputs = 8;
    const auto sweep = sweepMask<kOutputs>(QStringView(step.out()));
    if (!sweep || sweep->rest != 0)
        return text + QStringLiteral(", 設定輸出 (OUTP %1)").arg(step.out().trimmed());
    QList<int> outputs;
    for (std::size_t n = 1; n <= kOutputs; ++n) {
        if (sweep->boxes[n - 1])
            outputs << static_cast<int>(n);
    }
    return text + QStringLiteral(", 設定輸出 %1").arg(ioList(outputs));
}

QString reservedSentence(const QString &name, const QString &literal)
{
    return QStringLiteral("%1 (%2): 保留的步驟, 上傳時不產生程式").arg(name, literal);
}

} // namespace

QString describeStep(const StepRow &step)
{
    const QString datum = step.datum().trimmed();
    switch (step.kind()) {
    case StepKind::Point:
        return pointSentence(step);
    case StepKind::Line:
        return reservedSentence(QStringLiteral("直線"), step.kindText());
    case StepKind::Arc:
        return reservedSentence(QStringLiteral("圓弧"), step.kindText());
    case StepKind::Circle:
        return reservedSentence(QStringLiteral("圓"), step.kindText());
    case StepKind::Speed:
        return QStringLiteral("速度設為 %1 mm/s").arg(datum);
    case StepKind::Wait: {
        bool number = false;
        const double milliseconds = datum.toDouble(&number);
        if (!number)
            return QStringLiteral("延遲「%1」").arg(datum); // the program check says what is wrong
        return QStringLiteral("延遲 %1 秒").arg(plainNumber(milliseconds / 1000.0));
    }
    case StepKind::Loop:
        return QStringLiteral("迴圈開始: 以下步驟做 %1 次").arg(datum);
    case StepKind::LoopEnd:
        return QStringLiteral("迴圈結束: 回到迴圈開始, 直到次數做完");
    case StepKind::Label:
        return QStringLiteral("標籤「%1」").arg(step.datum());
    case StepKind::JumpToLabel:
        return QStringLiteral("跳至標籤「%1」").arg(step.datum());
    case StepKind::Home:
        return QStringLiteral("X、Y 軸回原點");
    case StepKind::Unknown:
        break;
    }
    return QStringLiteral("無法辨識的步驟「%1」, 上傳時略過").arg(step.kindText());
}

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

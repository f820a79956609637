#pragma once

#include <QList>
#include <QString>

namespace talvex {

class StepRow;

/// What a step row does, in words, for its tooltip in the step list: the masks read as
/// input and output numbers ("等待輸入 1、3 後移到 X 100, Y 200, 設定輸出 1、3"), the
/// other data as typed.
QString describeStep(const StepRow &step);

// Tooltips of the marks in the path preview: what a step does, in the operator's
// words, headed by its row ("第 4 行: 延遲 1 秒").

QString describeSpeed(int row, double speed);
QString describeDelay(int row, double milliseconds);
/// @p inputs in the order the program waits for them.
QString describeInputWaits(int row, const QList<int> &inputs);
/// @p mask as typed in the OUT column (the whole output word is written).
QString describeOutputs(int row, const QString &mask);
QString describeLabel(int row, const QString &name);
/// @p jumpTo as the flow resolved it: a step index, or a missing / duplicate label.
QString describeJump(int row, const QString &name, int jumpTo);
QString describeLoop(int row, const QString &countText, bool countsDown);

/// A number as an operator writes it: no exponent, no trailing zeros.
QString plainNumber(double value);

} // namespace talvex

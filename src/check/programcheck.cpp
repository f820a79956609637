#include "check/programcheck.h"

#include <QHash>

#include <algorithm>

namespace talvex {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

/// Digits from @p i on; returns how many there were.
int skipDigits(QStringView text, qsizetype &i)
{
    const qsizetype start = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return static_cast<int>(i - start);
}

QString rowSentence(int row, const QString &what)
{
    return QStringLiteral("第 %1 行: %2").arg(QString::number(row), what);
}

void add(std::vector<ProgramProblem> &problems, int row, ProblemKind kind, const QString &sentence)
{
    problems.push_back({row, kind, sentence});
}

void checkNumber(std::vector<ProgramProblem> &problems, int row, const QString &what, const QString &text)
{
    if (!isDecimalNumber(text))
        add(problems, row, ProblemKind::NotANumber,
            rowSentence(row, QStringLiteral("%1「%2」不是數字").arg(what, text)));
}

void checkNumbers(std::vector<ProgramProblem> &problems, int row, const StepRow &step)
{
    switch (step.kind()) {
    case StepKind::Speed:
        checkNumber(problems, row, QStringLiteral("速度"), step.datum());
        break;
    case StepKind::Wait:
        checkNumber(problems, row, QStringLiteral("延遲時間"), step.datum());
        break;
    case StepKind::Loop:
        checkNumber(problems, row, QStringLiteral("迴圈次數"), step.datum());
        break;
    case StepKind::Point:
        checkNumber(problems, row, QStringLiteral("X 座標"), step.x());
        checkNumber(problems, row, QStringLiteral("Y 座標"), step.y());
        checkNumber(problems, row, QStringLiteral("IN 條件"), step.datum());
        checkNumber(problems, row, QStringLiteral("OUT 輸出"), step.out());
        break;
    default:
        break;
    }
}

/// Where each label is defined: by the program itself (its start, its end, a loop's
/// own label) or by LABLE rows.
struct LabelDefinitions
{
    bool byProgram = false;
    std::vector<int> rows;
};

void checkLabels(std::vector<ProgramProblem> &problems, const CompiledForm &form)
{
    QHash<QString, LabelDefinitions> labels;
    for (const ProgramLine &line : form.lines) {
        if (line.statement != Statement::Label)
            continue;
        LabelDefinitions &definitions = labels[line.label];
        if (line.row == 0 || line.loop != 0)
            definitions.byProgram = true;
        else
            definitions.rows.push_back(line.row);
    }
    for (const ProgramLine &line : form.lines) {
        if (line.statement == Statement::Jump && line.row > 0 && !labels.contains(line.label))
            add(problems, line.row, ProblemKind::UndefinedLabel,
                rowSentence(line.row, QStringLiteral("跳至的標籤「%1」沒有定義").arg(line.label)));
    }
    for (auto it = labels.cbegin(); it != labels.cend(); ++it) {
        const std::vector<int> &rows = it.value().rows;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (it.value().byProgram) {
                add(problems, rows[i], ProblemKind::DuplicateLabel,
                    rowSentence(rows[i], QStringLiteral("標籤「%1」與程式本身的標籤重複").arg(it.key())));
            } else if (i > 0) {
                add(problems, rows[i], ProblemKind::DuplicateLabel,
                    rowSentence(rows[i], QStringLiteral("標籤「%1」重複定義 (第 %2 行已定義)")
                                             .arg(it.key(), QString::number(rows.front()))));
            }
        }
    }
}

void checkLoops(std::vector<ProgramProblem> &problems, const ProgramTable &table, int lastRow)
{
    int heads = 0;
    int feet = 0;
    int firstUnopened = 0;
    for (int r = 1; r <= lastRow; ++r) {
        const StepKind kind = kindOf(table.cell(r, Column::Kind));
        if (kind == StepKind::Loop)
            ++heads;
        else if (kind == StepKind::LoopEnd && ++feet > heads && firstUnopened == 0)
            firstUnopened = r;
    }
    if (heads != feet)
        add(problems, 0, ProblemKind::UnpairedLoops, QStringLiteral("迴圈數目未成對"));
    else if (firstUnopened != 0)
        add(problems, firstUnopened, ProblemKind::LoopEndFirst,
            rowSentence(firstUnopened, QStringLiteral("迴圈結束之前沒有迴圈開始")));
}

} // namespace

bool isDecimalNumber(QStringView text)
{
    text = text.trimmed();
    qsizetype i = 0;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    int digits = skipDigits(text, i);
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        digits += skipDigits(text, i);
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            ++i;
        if (skipDigits(text, i) == 0)
            return false;
    }
    return i == text.size();
}

QStringList definedLabels(const ProgramTable &table, int lastRow)
{
    QStringList labels;
    const int steps = std::clamp(lastRow, 0, ProgramTable::kMaxSteps);
    for (int r = 1; r <= steps; ++r) {
        const StepRow step = table.stepRow(r);
        if (step.kind() == StepKind::Label && !labels.contains(step.datum()))
            labels << step.datum();
    }
    return labels;
}

std::vector<ProgramProblem> checkProgram(const ProgramTable &table, int lastRow, const CompileOptions &options)
{
    return checkForm(table, lastRow, compileForm(table, lastRow, options));
}

std::vector<ProgramProblem> checkForm(const ProgramTable &table, int lastRow, const CompiledForm &form)
{
    std::vector<ProgramProblem> problems;
    const int steps = std::clamp(lastRow, 0, ProgramTable::kMaxSteps);
    for (int r = 1; r <= steps; ++r)
        checkNumbers(problems, r, table.stepRow(r));
    checkLabels(problems, form);
    checkLoops(problems, table, steps);
    if (form.lines.size() > static_cast<size_t>(CompiledProgram::kLines)) {
        add(problems, 0, ProblemKind::TooManyLines,
            QStringLiteral("程式有 %1 行, 超過 %2 行")
                .arg(QString::number(form.lines.size()), QString::number(CompiledProgram::kLines)));
    }
    if (lastRow > ProgramTable::kMaxSteps) {
        add(problems, 0, ProblemKind::TooManySteps,
            QStringLiteral("程式有 %1 個步驟, 超過 %2 個")
                .arg(QString::number(lastRow), QString::number(ProgramTable::kMaxSteps)));
    }

    // Row by row, then the program as a whole.
    std::stable_sort(problems.begin(), problems.end(), [](const ProgramProblem &a, const ProgramProblem &b) {
        const int ra = a.row == 0 ? ProgramTable::kRows : a.row;
        const int rb = b.row == 0 ? ProgramTable::kRows : b.row;
        return ra < rb;
    });
    return problems;
}

} // namespace talvex

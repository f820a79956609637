#include "compiler/compiler.h"

#include "core/big5.h"
#include "core/filewrite.h"
#include "core/iomask.h"
#include "core/operator.h"
#include "core/text.h"
#include "core/textnumber.h"

#include <QDir>

#include <algorithm>
#include <vector>

namespace talvex {

namespace {

QString loopVariable(int k)
{
    return withoutSpaces(QStringLiteral("#L") + QString::number(k));
}

/// The name of loop k's own label, as a jump names it.
QString loopLabelName(int k)
{
    return QStringLiteral("LOOP") + QString::number(k);
}

QString loopLabel(int k)
{
    return withoutSpaces(QStringLiteral("$") + loopLabelName(k));
}

QString unpairedLoopsMessage()
{
    return QStringLiteral("迴圈數目未成對!");
}

QString tooManyLoopsMessage()
{
    return QStringLiteral("迴圈數目超過%1個, 無法編譯!").arg(CompiledProgram::kLoopSlots);
}

QString tooManyLinesMessage()
{
    return QStringLiteral("程式超過%1行, 無法編譯!").arg(CompiledProgram::kLines);
}

QString notBig5Message(int row, const QString &character)
{
    // Row 0 is no step: the only emitted text that does not come from a row is the
    // acceleration box.
    if (row == 0)
        return QStringLiteral("加速度的「%1」無法以 Big5 存檔, 請修改後再上傳!").arg(character);
    return QStringLiteral("第 %1 行的「%2」無法以 Big5 存檔, 請修改後再上傳!").arg(QString::number(row), character);
}

/// Collects the program's lines in order. Past the 1001 lines a program may have the
/// table is refused, and from there on a point's input waits are no longer kept: a
/// point with a huge input mask would otherwise produce millions of them. Every
/// other line is kept, so the form still holds each row's part of the program.
class ProgramBuilder
{
public:
    explicit ProgramBuilder(std::vector<ProgramLine> &lines) : m_lines(lines)
    {
        m_lines.reserve(CompiledProgram::kLines + 1);
    }

    ProgramLine &add(Statement statement, const QString &text, int row)
    {
        if (past())
            m_overflow = true;
        ProgramLine line;
        line.statement = statement;
        line.text = text;
        line.row = row;
        m_lines.push_back(std::move(line));
        if (m_badRow < 0) {
            const Big5Bytes encoded = encodeBig5(text);
            if (!encoded.ok) {
                m_badRow = row;
                m_badCharacter = characterAt(text, encoded.firstBad);
            }
        }
        return m_lines.back();
    }

    /// How many more input waits may still be kept.
    int waitsLeft() const { return std::max(0, CompiledProgram::kLines + 1 - static_cast<int>(m_lines.size())); }
    bool overflowed() const { return m_overflow; }
    /// Row of the first line Big5 cannot carry (0 for the prologue), or -1.
    int badRow() const { return m_badRow; }
    const QString &badCharacter() const { return m_badCharacter; }

private:
    bool past() const { return m_lines.size() >= static_cast<size_t>(CompiledProgram::kLines); }

    std::vector<ProgramLine> &m_lines;
    bool m_overflow = false;
    int m_badRow = -1;
    QString m_badCharacter;
};

ProgramLine &addWithArgument(ProgramBuilder &builder, Statement statement, const QString &prefix,
                             const QString &argument, const QString &suffix, int row)
{
    ProgramLine &line = builder.add(statement, prefix + argument + suffix, row);
    line.argument = argument;
    return line;
}

ProgramLine &addLabel(ProgramBuilder &builder, const QString &name, int row)
{
    ProgramLine &line = builder.add(Statement::Label, QStringLiteral("$") + name + QStringLiteral(":;"), row);
    line.label = name;
    return line;
}

ProgramLine &addJump(ProgramBuilder &builder, Statement statement, const QString &name, int row)
{
    ProgramLine &line = builder.add(statement, QStringLiteral("JP $") + name + QStringLiteral(";"), row);
    line.label = name;
    return line;
}

/// The waits of a point, one "WI" line per input in the order inputWaitOrder() gives.
void addInputWaits(ProgramBuilder &builder, const QString &mask, int row)
{
    for (int k : inputWaitOrder(mask, builder.waitsLeft())) {
        const QString input = QString::number(k);
        addWithArgument(builder, Statement::WaitInput, QStringLiteral("WI "), input, QStringLiteral(";"), row);
    }
}

struct BodyCounters
{
    int loopNumber = 0;
    int closingNumber = 0;
    bool justOpened = false;
};

void addRow(ProgramBuilder &builder, const StepRow &step, int r, BodyCounters &counters)
{
    const QString &datum = step.datum();
    const QString semicolon = QStringLiteral(";");

    switch (step.kind()) {
    case StepKind::Point:
        addInputWaits(builder, datum, r);
        addWithArgument(builder, Statement::MoveX, QStringLiteral("XMA "), step.x(), semicolon, r);
        addWithArgument(builder, Statement::MoveY, QStringLiteral("YMA "), step.y(), semicolon, r);
        builder.add(Statement::WaitStanding, QStringLiteral("DN;"), r);
        // The mask's value decides, but the text goes out as typed ("0.0" sets nothing).
        if (leadingNumber(step.out()) != 0.0)
            addWithArgument(builder, Statement::SetOutputs, QStringLiteral("OUTP "), step.out(), semicolon, r);
        break;
    case StepKind::Speed:
        addWithArgument(builder, Statement::SetSpeed, QStringLiteral("VM="), datum, semicolon, r);
        break;
    case StepKind::Home:
        builder.add(Statement::HomeX, QStringLiteral("XH;"), r);
        builder.add(Statement::HomeY, QStringLiteral("YH;"), r);
        builder.add(Statement::WaitStanding, QStringLiteral("DN;"), r);
        break;
    case StepKind::Wait:
        addWithArgument(builder, Statement::Delay, QStringLiteral("WT "), datum, semicolon, r);
        break;
    case StepKind::Label:
        addLabel(builder, datum, r);
        break;
    case StepKind::JumpToLabel:
        addJump(builder, Statement::Jump, datum, r);
        break;
    case StepKind::Loop: {
        // Heads are numbered in table order; the count goes out as typed.
        const int k = ++counters.loopNumber;
        counters.justOpened = true;
        addWithArgument(builder, Statement::SetCounter, loopVariable(k) + QStringLiteral("="), datum, semicolon, r)
            .loop = k;
        ProgramLine &label = builder.add(Statement::Label, loopLabel(k) + QStringLiteral(":;"), r);
        label.loop = k;
        label.label = loopLabelName(k);
        break;
    }
    case StepKind::LoopEnd: {
        // Feet are not matched to heads: the first foot after a head closes the most
        // recent loop and each further foot the number below. A foot before any head
        // thus closes loop -1; the totals still pair, so it goes out as it stands.
        if (counters.justOpened) {
            counters.justOpened = false;
            counters.closingNumber = counters.loopNumber;
        } else {
            --counters.closingNumber;
        }
        const int c = counters.closingNumber;
        builder
            .add(Statement::CountDown, loopVariable(c) + QStringLiteral("=") + loopVariable(c) + QStringLiteral("-1;"),
                 r)
            .loop = c;
        ProgramLine &jump = builder.add(
            Statement::JumpUnlessZero,
            QStringLiteral("JNZ ") + loopVariable(c) + QStringLiteral(",") + loopLabel(c) + QStringLiteral(";"), r);
        jump.loop = c;
        jump.label = loopLabelName(c);
        break;
    }
    case StepKind::Line:
    case StepKind::Arc:
    case StepKind::Circle:
    case StepKind::Unknown:
        // Reserved kinds and cells that are no kind produce nothing.
        break;
    }
}

CompileResult refusal(CompileStatus status, const QString &message, int row = 0)
{
    CompileResult result;
    result.status = status;
    result.message = message;
    result.row = row;
    return result;
}

} // namespace

CompiledForm compileForm(const ProgramTable &table, int lastRow, const CompileOptions &options)
{
    // Step rows exist only up to 500; a larger count can only be a caller's mistake.
    lastRow = std::clamp(lastRow, 0, ProgramTable::kMaxSteps);

    // Pairing. Only the totals are compared, so a LOOPEND ahead of its LOOP passes.
    int nesting = 0;
    int loops = 0;
    for (int r = 1; r <= lastRow; ++r) {
        const StepKind kind = kindOf(table.cell(r, Column::Kind));
        if (kind == StepKind::Loop) {
            ++nesting;
            ++loops;
        } else if (kind == StepKind::LoopEnd) {
            --nesting;
        }
    }

    CompiledForm form;
    form.loops = loops;
    ProgramBuilder builder(form.lines);
    builder.add(Statement::Begin, QStringLiteral("{"), 0);
    builder.add(Statement::ClearVariables, QStringLiteral("CLR VAR;"), 0);
    if (options.SetAcceleration)
        addWithArgument(builder, Statement::SetAcceleration, QStringLiteral("VA "), options.AccelerationText,
                        QStringLiteral(";"), 0);
    builder.add(Statement::Declare, QStringLiteral("SI #IN;"), 0);
    builder.add(Statement::Declare, QStringLiteral("SI #OUT;"), 0);
    for (int k = 1; k <= loops; ++k)
        builder.add(Statement::Declare, QStringLiteral("SI ") + loopVariable(k) + QStringLiteral(";"), 0).loop = k;
    addLabel(builder, QStringLiteral("MAIN"), 0);

    BodyCounters counters;
    for (int r = 1; r <= lastRow; ++r)
        addRow(builder, table.stepRow(r), r, counters);

    if (options.Repeat) {
        addJump(builder, Statement::StartOver, QStringLiteral("MAIN"), 0);
    } else {
        addJump(builder, Statement::Jump, QStringLiteral("END"), 0);
        addLabel(builder, QStringLiteral("END"), 0);
    }
    builder.add(Statement::End, QStringLiteral("}"), 0);

    // When several refusals apply, the operator hears one: the loop structure first
    // (past 50 loops the counts no longer fit, and unpaired loops make the numbering
    // meaningless), then the length of the whole program, and only then a single
    // character, which is the narrowest fix and is named with its row.
    if (loops > CompiledProgram::kLoopSlots)
        form.verdict = refusal(CompileStatus::TooManyLoops, tooManyLoopsMessage());
    else if (nesting != 0)
        form.verdict = refusal(CompileStatus::UnpairedLoops, unpairedLoopsMessage());
    else if (builder.overflowed())
        form.verdict = refusal(CompileStatus::TooManyLines, tooManyLinesMessage());
    else if (builder.badRow() >= 0)
        form.verdict =
            refusal(CompileStatus::NotBig5, notBig5Message(builder.badRow(), builder.badCharacter()), builder.badRow());
    return form;
}

CompileResult compileTable(const ProgramTable &table, int lastRow, const CompileOptions &options,
                           CompiledProgram &program)
{
    const CompiledForm form = compileForm(table, lastRow, options);

    // The heads' counts are stored even when the table is refused, as far as the
    // slots go.
    for (const ProgramLine &line : form.lines) {
        if (line.statement == Statement::SetCounter && line.loop <= CompiledProgram::kLoopSlots)
            program.LoopCounts.at(static_cast<size_t>(line.loop)) = line.argument;
    }
    if (form.verdict.status != CompileStatus::Compiled)
        return form.verdict;

    std::transform(form.lines.begin(), form.lines.end(), program.ProgramText.begin(),
                   [](const ProgramLine &line) { return line.text; });
    program.ProgramTextLast = static_cast<int>(form.lines.size()) - 1;
    return {};
}

bool compileProgram(const ProgramTable &table, int lastRow, const CompileOptions &options, CompiledProgram &program,
                    Operator &op)
{
    const CompileResult result = compileTable(table, lastRow, options, program);
    if (result.status == CompileStatus::Compiled)
        return true;
    op.notice(result.message, messageTitle());
    return false;
}

QString listingFilePath()
{
    return listingPlaces().path;
}

bool writeListing(const CompiledProgram &program, const QString &path, QString *error)
{
    // Encode everything before the file is opened, so that a line Big5 cannot carry
    // leaves the previous listing in place instead of half a new one.
    QByteArray bytes;
    const int last = std::min(program.ProgramTextLast, CompiledProgram::kLines - 1);
    for (int i = 0; i <= last; ++i) {
        const QString &line = program.ProgramText.at(static_cast<size_t>(i));
        const Big5Bytes encoded = encodeBig5(line);
        if (!encoded.ok) {
            if (error)
                *error = QStringLiteral("程式第 %1 行的「%2」無法以 Big5 存檔")
                             .arg(QString::number(i + 1), characterAt(line, encoded.firstBad));
            return false;
        }
        bytes += encoded.bytes;
        bytes += "\r\n";
    }

    // The new listing is written beside the old one under a name nobody can have
    // planted, and renamed over it. Truncating and rewriting the old file in place
    // makes the file system flush it on close (a guard for programs that replace files
    // that way), which costs milliseconds on every upload; a rename replaces it at once
    // and never leaves half a listing. It is a record of the last upload, rewritten on
    // the next one, so it does not wait for the disk either.
    return writeWholeFile(path, bytes, error, FileSync::Skip);
}

} // namespace talvex

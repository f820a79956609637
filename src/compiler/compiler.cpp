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

const QString kPoint = QStringLiteral("POINT");
const QString kSpeed = QStringLiteral("VM");
const QString kWait = QStringLiteral("WT");
const QString kLoop = QStringLiteral("LOOP");
const QString kLoopEnd = QStringLiteral("LOOPEND");
const QString kLabel = QStringLiteral("LABLE");
const QString kJumpToLabel = QStringLiteral("GLABLE");
const QString kHome = QStringLiteral("HOME");

/// Inputs 1..16: one sweep tests their weights from the highest down.

QString loopVariable(int k)
{
    return withoutSpaces(QStringLiteral("#L") + QString::number(k));
}

QString loopLabel(int k)
{
    return withoutSpaces(QStringLiteral("$LOOP") + QString::number(k));
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

/// Collects the program in a scratch list, so that a refused table never touches the
/// main window's ProgramText. It stops taking lines once the program has passed its
/// 1001 lines: a point with a huge input mask would otherwise produce millions of
/// waits, and nothing past the limit can be used anyway.
class ProgramBuilder
{
public:
    ProgramBuilder() { m_lines.reserve(CompiledProgram::kLines); }

    void add(const QString &line, int row)
    {
        if (full()) {
            m_overflow = true;
            return;
        }
        m_lines.push_back(line);
        if (m_badRow < 0) {
            const Big5Bytes encoded = encodeBig5(line);
            if (!encoded.ok) {
                m_badRow = row;
                m_badCharacter = characterAt(line, encoded.firstBad);
            }
        }
    }

    bool full() const { return m_lines.size() >= static_cast<size_t>(CompiledProgram::kLines); }
    bool overflowed() const { return m_overflow; }
    /// Row of the first line Big5 cannot carry (0 for the prologue), or -1.
    int badRow() const { return m_badRow; }
    const QString &badCharacter() const { return m_badCharacter; }
    const std::vector<QString> &lines() const { return m_lines; }

private:
    std::vector<QString> m_lines;
    bool m_overflow = false;
    int m_badRow = -1;
    QString m_badCharacter;
};

/// The waits of a point, one "WI" line per input in the order inputWaitOrder() gives.
/// Past the line limit the table is refused anyway, so a huge mask stops there.
void addInputWaits(ProgramBuilder &builder, const QString &mask, int row)
{
    for (int k : inputWaitOrder(mask, CompiledProgram::kLines + 1))
        builder.add(QStringLiteral("WI %1;").arg(k), row);
}

struct BodyCounters
{
    int loopNumber = 0;
    int closingNumber = 0;
    bool justOpened = false;
};

void addRow(ProgramBuilder &builder, const ProgramTable &table, int r, const CompiledProgram &program,
            BodyCounters &counters)
{
    const QString kind = table.cell(r, 0);
    const QString datum = table.cell(r, 1);

    if (kind == kPoint) {
        addInputWaits(builder, datum, r);
        builder.add(QStringLiteral("XMA ") + table.cell(r, 2) + QStringLiteral(";"), r);
        builder.add(QStringLiteral("YMA ") + table.cell(r, 3) + QStringLiteral(";"), r);
        builder.add(QStringLiteral("DN;"), r);
        // The mask's value decides, but the text goes out as typed ("0.0" sets nothing).
        const QString out = table.cell(r, 4);
        if (leadingNumber(out) != 0.0)
            builder.add(QStringLiteral("OUTP ") + out + QStringLiteral(";"), r);
    } else if (kind == kSpeed) {
        builder.add(QStringLiteral("VM=") + datum + QStringLiteral(";"), r);
    } else if (kind == kHome) {
        builder.add(QStringLiteral("XH;"), r);
        builder.add(QStringLiteral("YH;"), r);
        builder.add(QStringLiteral("DN;"), r);
    } else if (kind == kWait) {
        builder.add(QStringLiteral("WT ") + datum + QStringLiteral(";"), r);
    } else if (kind == kLabel) {
        builder.add(QStringLiteral("$") + datum + QStringLiteral(":;"), r);
    } else if (kind == kJumpToLabel) {
        builder.add(QStringLiteral("JP $") + datum + QStringLiteral(";"), r);
    } else if (kind == kLoop) {
        const int k = ++counters.loopNumber;
        counters.justOpened = true;
        // The pairing pass has put this row's own count in slot k; reading the slot
        // rather than the row keeps head and table in step by construction.
        const QString count = k <= CompiledProgram::kLoopSlots ? program.LoopCounts.at(static_cast<size_t>(k)) : datum;
        builder.add(loopVariable(k) + QStringLiteral("=") + count + QStringLiteral(";"), r);
        builder.add(loopLabel(k) + QStringLiteral(":;"), r);
    } else if (kind == kLoopEnd) {
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
        builder.add(loopVariable(c) + QStringLiteral("=") + loopVariable(c) + QStringLiteral("-1;"), r);
        builder.add(QStringLiteral("JNZ ") + loopVariable(c) + QStringLiteral(",") + loopLabel(c) + QStringLiteral(";"),
                    r);
    }
    // LINE, ARC, CIR and any unknown kind produce nothing.
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

CompileResult compileTable(const ProgramTable &table, int lastRow, const CompileOptions &options,
                           CompiledProgram &program)
{
    // Step rows exist only up to 500; a larger count can only be a caller's mistake.
    lastRow = std::clamp(lastRow, 0, ProgramTable::kMaxSteps);

    // Pairing pass. Only the totals are compared, so a LOOPEND ahead of its LOOP passes.
    // The counts are stored even when the table is refused, as far as the slots go.
    int nesting = 0;
    int loops = 0;
    for (int r = 1; r <= lastRow; ++r) {
        const QString kind = table.cell(r, 0);
        if (kind == kLoop) {
            ++nesting;
            ++loops;
            if (loops <= CompiledProgram::kLoopSlots)
                program.LoopCounts.at(static_cast<size_t>(loops)) = table.cell(r, 1);
        }
        if (kind == kLoopEnd)
            --nesting;
    }

    // When several refusals apply, the operator hears one: the loop structure first
    // (past 50 loops the counts no longer fit, and unpaired loops make the numbering
    // meaningless), then the length of the whole program, and only then a single
    // character, which is the narrowest fix and is named with its row.
    if (loops > CompiledProgram::kLoopSlots)
        return refusal(CompileStatus::TooManyLoops, tooManyLoopsMessage());
    if (nesting != 0)
        return refusal(CompileStatus::UnpairedLoops, unpairedLoopsMessage());

    ProgramBuilder builder;
    builder.add(QStringLiteral("{"), 0);
    builder.add(QStringLiteral("CLR VAR;"), 0);
    if (options.SetAcceleration)
        builder.add(QStringLiteral("VA ") + options.AccelerationText + QStringLiteral(";"), 0);
    builder.add(QStringLiteral("SI #IN;"), 0);
    builder.add(QStringLiteral("SI #OUT;"), 0);
    for (int k = 1; k <= loops; ++k)
        builder.add(QStringLiteral("SI ") + loopVariable(k) + QStringLiteral(";"), 0);
    builder.add(QStringLiteral("$MAIN:;"), 0);

    BodyCounters counters;
    for (int r = 1; r <= lastRow && !builder.overflowed(); ++r)
        addRow(builder, table, r, program, counters);

    if (options.Repeat) {
        builder.add(QStringLiteral("JP $MAIN;"), 0);
    } else {
        builder.add(QStringLiteral("JP $END;"), 0);
        builder.add(QStringLiteral("$END:;"), 0);
    }
    builder.add(QStringLiteral("}"), 0);

    if (builder.overflowed())
        return refusal(CompileStatus::TooManyLines, tooManyLinesMessage());
    if (builder.badRow() >= 0)
        return refusal(CompileStatus::NotBig5, notBig5Message(builder.badRow(), builder.badCharacter()),
                       builder.badRow());

    const std::vector<QString> &lines = builder.lines();
    std::copy(lines.begin(), lines.end(), program.ProgramText.begin());
    program.ProgramTextLast = static_cast<int>(lines.size()) - 1;
    return {};
}

bool CompileProgram(const ProgramTable &table, int lastRow, const CompileOptions &options, CompiledProgram &program,
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
#if defined(Q_OS_WIN)
    return QStringLiteral("C:\\TRY.txt");
#else
    return QDir::current().filePath(QStringLiteral("TRY.txt"));
#endif
}

bool WriteListing(const CompiledProgram &program, const QString &path, QString *error)
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

#include "files/recoveryformat.h"

#include "files/programfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace talvex {

namespace {

const QString kMarkKey = QStringLiteral("talvexRecovery");
const QString kNameKey = QStringLiteral("programFile");
const QString kDirtyKey = QStringLiteral("dirty");
const QString kLastRowKey = QStringLiteral("lastRow");
const QString kRowsKey = QStringLiteral("rows");

/// Rows 0..lastRow that do not read back from @p bytes as they are in the table, each
/// as [row, cell 0, ..., cell 4].
QJsonArray exactRows(const QByteArray &bytes, const ProgramTable &table, int lastRow)
{
    const ProgramFileContents read = parseProgramFile(bytes, ProgramTable());
    QJsonArray rows;
    for (int r = 0; r <= lastRow; ++r) {
        const Step row = table.row(r);
        if (read.table.row(r) == row)
            continue;
        QJsonArray entry{r};
        for (const QString &cell : row)
            entry.append(cell);
        rows.append(entry);
    }
    return rows;
}

} // namespace

QByteArray recoveryFileBytes(const RecoveredProgram &program)
{
    const int lastRow = std::clamp(program.lastRow, 0, ProgramTable::kMaxSteps);
    QByteArray bytes = programFileBytes(program.table, lastRow);
    QJsonObject facts;
    facts.insert(kMarkKey, 1);
    facts.insert(kNameKey, program.programFileName);
    facts.insert(kDirtyKey, program.dirty);
    facts.insert(kLastRowKey, lastRow);
    facts.insert(kRowsKey, exactRows(bytes, program.table, lastRow));
    bytes += "\r\n";
    bytes += QJsonDocument(facts).toJson(QJsonDocument::Compact);
    bytes += "\r\n";
    return bytes;
}

std::optional<RecoveredProgram> parseRecoveryFile(const QByteArray &bytes)
{
    qsizetype end = bytes.size();
    while (end > 0 && (bytes.at(end - 1) == '\n' || bytes.at(end - 1) == '\r'))
        --end;
    const qsizetype start = end > 0 ? bytes.lastIndexOf('\n', end - 1) + 1 : 0;
    const QJsonObject facts = QJsonDocument::fromJson(bytes.mid(start, end - start)).object();
    const bool hasFacts = facts.contains(kMarkKey);

    const ProgramFileContents read = parseProgramFile(hasFacts ? bytes.left(start) : bytes, ProgramTable());
    RecoveredProgram program;
    program.table = read.table;
    program.lastRow = read.lastRow;
    program.dirty = true;
    if (hasFacts) {
        program.programFileName = facts.value(kNameKey).toString();
        program.dirty = facts.value(kDirtyKey).toBool(true);
        program.lastRow = std::clamp(facts.value(kLastRowKey).toInt(read.lastRow), 0, ProgramTable::kMaxSteps);
        for (const auto &value : facts.value(kRowsKey).toArray()) {
            const QJsonArray entry = value.toArray();
            if (entry.size() != 1 + ProgramTable::kColumns)
                continue;
            Step row;
            for (int c = 0; c < ProgramTable::kColumns; ++c)
                row[static_cast<std::size_t>(c)] = entry.at(c + 1).toString();
            program.table.setRow(entry.at(0).toInt(-1), row);
        }
    }
    if (program.lastRow == 0)
        return std::nullopt;
    return program;
}

} // namespace talvex

#include "files/programfile.h"

#include "core/big5.h"
#include "core/filewrite.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace talvex {

namespace {

// A line shorter than this ends the program: it cannot hold even a padded kind.
constexpr int kMinLineLength = 13;

bool breaksLine(const QString &cell)
{
    return cell.contains(QLatin1Char(' ')) || cell.contains(QLatin1Char('\r')) || cell.contains(QLatin1Char('\n'));
}

QString firstNonBig5Character(const Step &row)
{
    for (const QString &cell : row) {
        const Big5Bytes encoded = encodeBig5(cell);
        if (!encoded.ok)
            return characterAt(cell, encoded.firstBad);
    }
    return {};
}

} // namespace

QString formatProgramLine(const Step &row)
{
    QString line;
    for (int c = 0; c < 4; ++c) {
        const QString &cell = row[static_cast<size_t>(c)];
        line += cell;
        line += QString(std::max<qsizetype>(1, FieldWidth - cell.size()), QLatin1Char(' '));
    }
    line += row[4];
    return line;
}

QStringList splitProgramLine(const QString &line)
{
    QStringList fields;
    if (line.startsWith(QLatin1Char(' ')))
        fields << QString();
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        while (i < n && line.at(i) == QLatin1Char(' '))
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && line.at(i) != QLatin1Char(' '))
            ++i;
        fields << line.mid(start, i - start);
    }
    return fields;
}

UnreadableCell findUnreadableCell(const ProgramTable &table, int lastRow)
{
    for (int r = 1; r <= std::min(lastRow, ProgramTable::kMaxSteps); ++r) {
        for (int c = 0; c < ProgramTable::kColumns; ++c) {
            const Column column = static_cast<Column>(c);
            const QString cell = table.cell(r, column);
            // An empty IN, X or Y would let the cells after it slip one column left.
            const bool mustHoldText = column == Column::Datum || column == Column::X || column == Column::Y;
            if (breaksLine(cell) || (cell.isEmpty() && mustHoldText))
                return {r, c};
        }
    }
    return {};
}

int findNonBig5Row(const ProgramTable &table, int lastRow, QString *character)
{
    for (int r = 1; r <= std::min(lastRow, ProgramTable::kMaxSteps); ++r) {
        const QString bad = firstNonBig5Character(table.row(r));
        if (!bad.isEmpty()) {
            if (character)
                *character = bad;
            return r;
        }
    }
    return -1;
}

UnreadableCell findOverlongCell(const ProgramTable &table, int lastRow, int *limit)
{
    for (int r = 1; r <= std::min(lastRow, ProgramTable::kMaxSteps); ++r) {
        const Step &row = table.row(r);
        // The line's length as formatProgramLine() lays it out.
        qsizetype length = row[4].size();
        int longest = 4;
        for (int c = 0; c < 4; ++c) {
            length += std::max<qsizetype>(FieldWidth, row[static_cast<size_t>(c)].size() + 1);
            if (row[static_cast<size_t>(c)].size() > row[static_cast<size_t>(longest)].size())
                longest = c;
        }
        if (length > kMaxProgramLineCharacters) {
            // The longest cell is the one to shorten; with the others as they are it
            // may hold this many characters.
            if (limit)
                *limit = static_cast<int>(std::max<qsizetype>(0, row[static_cast<size_t>(longest)].size() -
                                                                     (length - kMaxProgramLineCharacters)));
            return {r, longest};
        }
    }
    return {};
}

QString headerNonBig5Character(const ProgramTable &table)
{
    return firstNonBig5Character(table.row(0));
}

Step writtenHeader(const ProgramTable &table)
{
    return headerNonBig5Character(table).isEmpty() ? table.row(0) : ProgramTable::header();
}

QByteArray programFileBytes(const ProgramTable &table, int lastRow)
{
    QByteArray bytes = encodeBig5(formatProgramLine(writtenHeader(table))).bytes + "\r\n";
    for (int r = 1; r <= std::min(lastRow, ProgramTable::kMaxSteps); ++r) {
        bytes += encodeBig5(formatProgramLine(table.row(r))).bytes;
        bytes += "\r\n";
    }
    return bytes;
}

bool writeProgramFile(const QString &path, const ProgramTable &table, int lastRow, QString *error)
{
    // Written to a temporary file and renamed: a failed save never leaves a
    // half-written program in place of the old one.
    return writeWholeFile(path, programFileBytes(table, lastRow), error);
}

ProgramFileBytes readProgramFileBytes(const QString &path)
{
    ProgramFileBytes result;
    // QFileInfo follows a link to what it leads to without opening anything.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        result.status = ProgramFileBytes::Status::CannotOpen;
        result.reason = QStringLiteral("%1 不是一般檔案, 無法讀取!").arg(path);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = ProgramFileBytes::Status::CannotOpen;
        result.reason = file.errorString();
        return result;
    }
    // The size first, so a huge file is not read only to be refused; the bound on the
    // read holds even for a file that grows meanwhile.
    if (file.size() <= kMaxProgramFileBytes)
        result.bytes = file.read(kMaxProgramFileBytes + 1);
    if (file.size() > kMaxProgramFileBytes || result.bytes.size() > kMaxProgramFileBytes) {
        result.status = ProgramFileBytes::Status::TooLarge;
        result.bytes.clear();
    } else if (file.error() != QFileDevice::NoError) {
        result.status = ProgramFileBytes::Status::CannotRead;
        result.reason = file.errorString();
        result.bytes.clear();
    }
    return result;
}

ProgramFileContents parseProgramFile(const QByteArray &bytes, const ProgramTable &current)
{
    ProgramFileContents result;
    result.table = current;
    int row = 0;
    const char *const data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    while (pos < size) {
        // Lines end with CR LF; a lone LF or CR ends a line too, as hand-edited
        // files from other systems have them.
        const char *const lineEnd =
            std::find_if(data + pos, data + size, [](char b) { return b == '\r' || b == '\n'; });
        const qsizetype end = lineEnd - data;
        const qsizetype lineBytes = end - pos;
        // A Big5 character takes at most two bytes, so these bytes hold at least the
        // characters the line may keep; the rest is never decoded.
        const qsizetype decodedBytes = std::min(lineBytes, qsizetype(2) * kMaxProgramLineCharacters);
        QString line = decodeBig5(QByteArray::fromRawData(data + pos, decodedBytes));
        bool lineCut = decodedBytes < lineBytes;
        if (line.size() > kMaxProgramLineCharacters) {
            // Never keep half of a surrogate pair.
            line.truncate(line.at(kMaxProgramLineCharacters - 1).isHighSurrogate() ? kMaxProgramLineCharacters - 1
                                                                                   : kMaxProgramLineCharacters);
            lineCut = true;
        }
        pos = end;
        if (pos < size && bytes.at(pos) == '\r') {
            ++pos;
            if (pos < size && bytes.at(pos) == '\n')
                ++pos;
        } else if (pos < size) {
            ++pos; // a lone LF
        }

        if (line.size() < kMinLineLength)
            break;
        if (row > ProgramTable::kMaxSteps) {
            result.rowsCut = true;
            break;
        }
        if (lineCut)
            result.linesCut = true;
        const QStringList fields = splitProgramLine(line);
        if (fields.size() > ProgramTable::kColumns)
            result.fieldsCut = true;
        for (int c = 0; c < std::min<int>(static_cast<int>(fields.size()), ProgramTable::kColumns); ++c)
            result.table.setCell(row, c, fields.at(c));
        ++row;
    }
    result.lastRow = std::max(0, row - 1);
    return result;
}

} // namespace talvex

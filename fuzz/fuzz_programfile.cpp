// Feeds arbitrary bytes to the program-file reader, over a table that already holds a
// program (as when a file is opened in a running station). The reader must keep to
// rows 0..500 and columns 0..4, report a step count inside that range, leave no row
// past its step count changed, and keep no cell longer than the longest line it takes.
#include "files/programfile.h"

#include <algorithm>
#include <cstdlib>

using namespace talvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ProgramTable before = [] {
        ProgramTable t;
        t.writeHeader();
        for (int r = 1; r <= ProgramTable::kMaxSteps; ++r)
            t.setRow(r, {QStringLiteral("WT"), QString::number(r), QStringLiteral("0"), QStringLiteral("0"),
                         QStringLiteral("0")});
        return t;
    }();

    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ProgramFileContents read = parseProgramFile(bytes, before);
    if (read.lastRow < 0 || read.lastRow > ProgramTable::kMaxSteps)
        std::abort();
    for (int r = read.lastRow + 2; r <= ProgramTable::kMaxSteps; ++r) {
        if (read.table.row(r) != before.row(r))
            std::abort();
    }
    // No cell outgrows the longest line the reader takes.
    for (int r = 0; r <= std::min(read.lastRow + 1, ProgramTable::kMaxSteps); ++r) {
        for (const QString &cell : read.table.row(r)) {
            if (cell.size() > kMaxProgramLineCharacters)
                std::abort();
        }
    }
    // Whatever was read must write out and read back to the same steps when it holds
    // nothing the format cannot carry.
    if (findUnreadableCell(read.table, read.lastRow).row < 0 && findNonBig5Row(read.table, read.lastRow) < 0) {
        const ProgramFileContents again = parseProgramFile(programFileBytes(read.table, read.lastRow), ProgramTable());
        if (again.lastRow != read.lastRow)
            std::abort();
        for (int r = 1; r <= read.lastRow; ++r) {
            if (again.table.row(r) != read.table.row(r))
                std::abort();
        }
    }
    return 0;
}

// The operator's work kept safe: the recovery file's write of a 500-row program, how
// often a burst of changes writes it, and the memory a full undo history takes.
#include "benchutil.h"
#include "document/programdocument.h"
#include "files/recoveryfile.h"
#include "programs.h"
#include "table/editstate.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>

#include <malloc.h>

using namespace talvex;
using namespace talvex::bench;

namespace {

/// Bytes the heap hands out now.
double heapBytes()
{
    return static_cast<double>(mallinfo2().uordblks);
}

void writeOf500Rows(const QString &folder)
{
    RecoveryFile file(folder);
    file.open();
    const ProgramTable program = largestProgram(500);
    RecoveredProgram contents{program, 500, QStringLiteral("/home/operator/程式/大程式.tvx"), true};
    file.contents = [&] { return contents; };
    const double write = medianMs(31, [&] { file.writeNow(); });
    const double build = medianMs(31, [&] { (void)recoveryFileBytes(contents); });
    // The floor: the same bytes through QSaveFile alone, which flushes them to disk
    // before the rename, so the file survives a power cut too. On a busy disk the
    // flush is most of the write.
    const QByteArray bytes = recoveryFileBytes(contents);
    const double floor = medianMs(31, [&] {
        QSaveFile plain(folder + QStringLiteral("/plain.tvx"));
        plain.open(QIODevice::WriteOnly);
        plain.write(bytes);
        plain.commit();
    });
    report(QStringLiteral("recovery file write of a 500-row program"), QStringLiteral("%1 ms").arg(write, 0, 'f', 2),
           QStringLiteral("<= 10 ms"), write <= 10.0 && file.writeCount() == 31,
           QStringLiteral("%1x writing the same %2 bytes through QSaveFile alone (%3 ms: write, flush to disk, "
                          "rename); making the bytes takes %4 ms")
               .arg(write / floor, 0, 'f', 2)
               .arg(bytes.size())
               .arg(floor, 0, 'f', 2)
               .arg(build, 0, 'f', 2));
    file.discard();
}

void burstOfChanges(const QString &folder)
{
    constexpr int kChanges = 100;
    constexpr int kSpacingMs = 10; // 100 changes within one second
    RecoveryFile file(folder);
    file.open();
    const ProgramTable program = largestProgram(500);
    QElapsedTimer clock;
    std::vector<qint64> changes;
    std::vector<qint64> writes;
    file.contents = [&] {
        writes.push_back(clock.elapsed());
        return RecoveredProgram{program, 500, QString(), true};
    };
    QTimer changer;
    changer.setInterval(kSpacingMs);
    QObject::connect(&changer, &QTimer::timeout, [&] {
        changes.push_back(clock.elapsed());
        file.markChanged();
        if (static_cast<int>(changes.size()) == kChanges)
            changer.stop();
    });
    clock.start();
    changer.start();
    QTimer::singleShot(kChanges * kSpacingMs + 2 * RecoveryFile::kWriteDelayMs, &QCoreApplication::quit);
    QCoreApplication::exec();

    // How long each change waited until a write took it.
    qint64 longestWait = 0;
    for (const qint64 change : changes) {
        const auto write = std::lower_bound(writes.begin(), writes.end(), change);
        longestWait = std::max(longestWait, write == writes.end() ? qint64(1) << 40 : *write - change);
    }
    const int count = static_cast<int>(writes.size());
    report(QStringLiteral("recovery writes for 100 changes in a second"), QStringLiteral("%1 writes").arg(count),
           QStringLiteral("<= 3, each change within 1 s"), count <= 3 && longestWait <= 1000,
           QStringLiteral("%1 changes over %2 ms; the longest a change waited for its write: %3 ms (a write is due "
                          "%4 ms after the first change it takes)")
               .arg(changes.size())
               .arg(changes.empty() ? 0 : changes.back() - changes.front())
               .arg(longestWait)
               .arg(RecoveryFile::kWriteDelayMs));
    file.discard();
}

void undoHistoryMemory()
{
    constexpr int kSteps = ProgramDocument::kUndoLimit + 50; // the history is full and forgets
    const double before = heapBytes();
    {
        ProgramTable table = largestProgram(500);
        ProgramDocument history;
        for (int i = 0; i < kSteps; ++i) {
            // Every other step shifts every row, as a delete at the top does.
            if (i % 2 == 0) {
                table.setCell(1 + i % 500, 1, QString::number(i));
            } else {
                for (int r = 1; r < 500; ++r)
                    table.setRow(r, table.row(r + 1));
                table.setRow(500, {QStringLiteral("HOME"), QStringLiteral("0"), QStringLiteral("0"),
                                   QStringLiteral("0"), QStringLiteral("0")});
            }
            history.replaceProgram(table, 500, QStringLiteral("修改"));
        }
        const double held = heapBytes() - before;
        const double perStepKb = held / ProgramDocument::kUndoLimit / 1024.0;
        report(QStringLiteral("undo history of 100 steps on a 500-row table"),
               QStringLiteral("%1 MB").arg(held / 1024.0 / 1024.0, 0, 'f', 1), QStringLiteral("<= 64 KB a step"),
               perStepKb <= 64.0 && history.undoStack().count() == ProgramDocument::kUndoLimit,
               QStringLiteral("%1 KB a step (the table itself included): a step holds one snapshot of the rows, whose "
                              "texts it shares with the table and its neighbours; %2 steps made, %3 kept")
                   .arg(perStepKb, 0, 'f', 1)
                   .arg(kSteps)
                   .arg(history.undoStack().count()));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    writeOf500Rows(dir.path());
    burstOfChanges(dir.path());
    undoHistoryMemory();
    return 0;
}

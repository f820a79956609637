#include "app/stationrecovery.h"

#include "core/operator.h"
#include "editor/mainwindow.h"
#include "files/recoveryleftover.h"
#include "table/changedescription.h"

#include <QTimer>

#include <cstdio>

namespace talvex {

StationRecovery::StationRecovery(MainWindow &window, const QString &folder)
    : m_window(window), m_folder(folder), m_file(folder)
{
    if (!m_file.open()) {
        // The station works on without; the operator hears once that unsaved work is
        // not kept, as soon as the window is up.
        std::fprintf(stderr, "talvex-station: no recovery file: %s\n", qPrintable(m_file.errorString()));
        QTimer::singleShot(
            0, this, [this] { m_window.op().notice(m_file.failureNotice(), messageTitle(), Operator::Icon::Warning); });
        return;
    }
    ProgramDocument &document = m_window.document();
    m_file.contents = [this, &document] {
        return RecoveredProgram{document.table(), document.lastRow(), m_window.fileActions().programFileName(),
                                document.isDirty()};
    };
    connect(&document, &ProgramDocument::savedStateChanged, this, &StationRecovery::followProgram);
    followProgram();
    QTimer::singleShot(0, this, &StationRecovery::offerLeftOvers);
}

StationRecovery::~StationRecovery()
{
    m_file.discard();
}

void StationRecovery::followProgram()
{
    // Written a moment after each change while the steps differ from what was saved,
    // removed when they do not.
    const ProgramDocument &document = m_window.document();
    if (document.lastRow() > 0 && document.differsFromSaved())
        m_file.markChanged();
    else
        m_file.discard();
}

QString StationRecovery::question()
{
    return QStringLiteral("上次未正常結束, 是否還原未存檔的程式?");
}

int StationRecovery::offerLeftOvers()
{
    int asked = 0;
    for (RecoveryLeftOver &leftOver : RecoveryLeftOver::find(m_folder)) {
        RecoveryLeftOver::ReadProblem problem = RecoveryLeftOver::ReadProblem::None;
        const std::optional<RecoveredProgram> program = leftOver.read(&problem);
        if (!program) {
            // A file with no step in it has nothing to offer. One that cannot be read
            // now may hold the only copy of a program, so it stays for a later start;
            // one too large to be a program stays too, and the operator is told.
            switch (problem) {
            case RecoveryLeftOver::ReadProblem::None:
                leftOver.remove();
                break;
            case RecoveryLeftOver::ReadProblem::Unreadable:
                std::fprintf(stderr, "talvex-station: cannot read recovery file %s\n", qPrintable(leftOver.path()));
                break;
            case RecoveryLeftOver::ReadProblem::TooLarge:
                m_window.op().notice(RecoveryLeftOver::tooLargeNotice(leftOver.path()), messageTitle(),
                                     Operator::Icon::Warning);
                break;
            }
            continue;
        }
        ++asked;
        // Only a plain No throws the left-over away; Cancel, Escape or the close box keep
        // it, and the rest, for the next start.
        const Operator::Answer answer = m_window.op().askYesNoCancel(question(), messageTitle());
        if (answer == Operator::Answer::Cancel)
            break;
        if (answer == Operator::Answer::No) {
            leftOver.remove();
            continue;
        }
        PendingEdit &edit = m_window.editState();
        edit = PendingEdit{};
        m_window.document().replaceProgram(program->table, program->lastRow, recoverProgramDescription());
        m_window.document().setDirty(true);
        m_window.stepEditor().forgetChosenRow();
        // The old file goes only once this station's own file holds the program (a full
        // disk, say, would leave none); otherwise the next start offers it again.
        if (m_file.writeNow())
            leftOver.remove();
        break;
    }
    return asked;
}

} // namespace talvex

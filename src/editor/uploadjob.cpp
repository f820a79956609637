#include "editor/uploadjob.h"

#include "core/operator.h"
#include "link/stationlink.h"

#include <QDir>
#include <QFileInfo>

namespace talvex {

QString UploadJob::storeQuestion()
{
    return QStringLiteral("是否儲存程式?");
}

QString UploadJob::runQuestion()
{
    return QStringLiteral("現在執行程式?");
}

QString UploadJob::outcomeMessage(const UploadOutcome &outcome)
{
    if (!outcome.downloaded)
        return QStringLiteral("程式未上傳");
    return QStringLiteral("上傳完成: 程式%1, %2")
        .arg(outcome.stored ? QStringLiteral("已儲存") : QStringLiteral("未儲存"),
             outcome.started ? QStringLiteral("已開始執行") : QStringLiteral("未執行"));
}

QString UploadJob::problemsQuestion(const std::vector<ProgramProblem> &problems)
{
    return QStringLiteral("程式有 %1 個問題 (%2), 仍要上傳嗎?")
        .arg(QString::number(problems.size()), problems.front().sentence);
}

void UploadJob::writeListingFile()
{
    Operator &op = m_station.op();
    QString reason;
    if (writeListing(m_program, m_listing.path, &reason))
        return;
    if (!m_listing.fallback.isEmpty()) {
        QString ignored;
        const QString folder = QFileInfo(m_listing.fallback).absolutePath();
        if (QDir().mkpath(folder) && writeListing(m_program, m_listing.fallback, &ignored)) {
            // Said once: every later upload goes there the same way.
            if (!m_fallbackTold) {
                m_fallbackTold = true;
                op.notice(
                    QStringLiteral("無法寫入程式列表檔 %1, 程式列表已改存到 %2。")
                        .arg(QDir::toNativeSeparators(m_listing.path), QDir::toNativeSeparators(m_listing.fallback)),
                    messageTitle(), Operator::Icon::Information);
            }
            return;
        }
    }
    // The listing is a record of what was sent, not part of the download.
    op.notice(QStringLiteral("無法寫入程式列表檔 %1, 程式仍會下載。\n%2").arg(m_listing.path, reason), messageTitle(),
              Operator::Icon::Warning);
}

UploadOutcome UploadJob::run(const ProgramTable &table, int lastRow, const CompileOptions &options,
                             const QString &comPort)
{
    Line &line = m_station.line();
    Operator &op = m_station.op();
    Line::Operation operation(line);
    // Before anything goes down the line, the connect's bytes included. A program the
    // compiler refuses itself gets the compile's own notice below, and no question.
    if (lastRow > 0) {
        const CompiledForm form = compileForm(table, lastRow, options);
        if (form.verdict.status == CompileStatus::Compiled) {
            const std::vector<ProgramProblem> problems = checkForm(table, lastRow, form);
            // Enter must not send a program the controller would reject.
            if (!problems.empty() && !op.askYesNoDefaultNo(problemsQuestion(problems), messageTitle()))
                return {};
        }
    }
    if (!line.isOpen())
        m_station.connectController(comPort);
    if (!line.isOpen() || lastRow == 0)
        return {};
    if (!compileProgram(table, lastRow, options, m_program, op))
        return {};
    writeListingFile();

    QStringList lines;
    lines.reserve(m_program.ProgramTextLast + 1);
    for (int i = 0; i <= m_program.ProgramTextLast; ++i)
        lines << m_program.ProgramText.at(static_cast<size_t>(i));
    if (!m_station.download(lines))
        return {};

    ControllerSession &session = m_station.session();
    UploadOutcome outcome;
    outcome.downloaded = true;
    // A line lost on the way sends nothing more; the outcome says only what was sent.
    if (op.askYesNo(storeQuestion(), messageTitle())) {
        session.storeProgram();
        outcome.stored = !line.lostInThisAction();
    }
    // Enter must not start motion: the question's default is No.
    if (op.askYesNoDefaultNo(runQuestion(), messageTitle())) {
        session.runProgram();
        outcome.started = !line.lostInThisAction();
    }
    m_station.closeAfterDownload();
    return outcome;
}

} // namespace talvex

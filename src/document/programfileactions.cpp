#include "document/programfileactions.h"

#include "core/big5.h"
#include "core/operator.h"
#include "document/programdocument.h"
#include "files/programfile.h"
#include "table/changedescription.h"
#include "table/editstate.h"

#include <algorithm>

namespace talvex {

namespace {

QString columnName(int column)
{
    static const char *const names[] = {"種類", "IN或數據", "X 座標", "Y 座標", "OUT"};
    return QString::fromUtf8(names[std::clamp(column, 0, 4)]);
}

} // namespace

ProgramFileActions::ProgramFileActions(ProgramDocument &document, PendingEdit &edit, Operator &op)
    : m_document(document), m_edit(edit), m_op(op)
{
}

QString ProgramFileActions::filter()
{
    return QStringLiteral("TALVEX程式檔(*.tvx) | *.tvx");
}

bool ProgramFileActions::writeChecked(const QString &path)
{
    if (!big5Available()) {
        m_op.notice(big5MissingText(), messageTitle(), Operator::Icon::Warning);
        return false;
    }
    const ProgramTable &table = m_document.table();
    const int lastRow = m_document.lastRow();
    QString character;
    const int badRow = findNonBig5Row(table, lastRow, &character);
    if (badRow >= 0) {
        m_op.notice(QStringLiteral("第 %1 行的「%2」無法以 Big5 存檔, 請修改後再存檔!").arg(badRow).arg(character),
                    messageTitle(), Operator::Icon::Warning);
        return false;
    }
    int limit = 0;
    const UnreadableCell overlong = findOverlongCell(table, lastRow, &limit);
    if (overlong.row > 0) {
        m_op.notice(QStringLiteral("第 %1 行的「%2」欄超過 %3 個字, 請修改後再存檔!")
                        .arg(overlong.row)
                        .arg(columnName(overlong.column))
                        .arg(limit),
                    messageTitle(), Operator::Icon::Warning);
        return false;
    }
    const UnreadableCell cell = findUnreadableCell(table, lastRow);
    if (cell.row > 0) {
        const QString question =
            QStringLiteral("第 %1 行的「%2」欄含有空白或是空的, 存檔後讀回會錯位。\n是否仍要存檔 ?")
                .arg(cell.row)
                .arg(columnName(cell.column));
        if (!m_op.askOkCancel(question, messageTitle(), Operator::Icon::Warning))
            return false;
    }
    const QString headerCharacter = headerNonBig5Character(table);
    QString reason;
    if (!writeProgramFile(path, table, lastRow, &reason)) {
        m_op.notice(QStringLiteral("無法寫入檔案 %1 !\n%2").arg(path, reason), messageTitle(), Operator::Icon::Warning);
        return false;
    }
    if (!headerCharacter.isEmpty()) {
        // The file got the standard header; the table takes it too, so the operator
        // hears of it this once and every later save writes the same first line.
        m_document.adoptStandardHeader();
        m_op.notice(QStringLiteral("檔頭的「%1」無法以 Big5 存檔, 已改用標準檔頭存檔!").arg(headerCharacter),
                    messageTitle(), Operator::Icon::Information);
    }
    m_document.markSaved();
    useFile(path);
    return true;
}

bool ProgramFileActions::saveProgramAs()
{
    const bool paused = pauseStatusPoll ? pauseStatusPoll() : false;
    m_programFileName = m_op.saveFileName(filter());
    const bool written = !m_programFileName.isEmpty() && m_document.lastRow() != 0 && writeChecked(m_programFileName);
    if (paused && resumeStatusPoll)
        resumeStatusPoll();
    return written;
}

void ProgramFileActions::reset()
{
    m_edit.CurrentRow = 0;
    useFile(QString());
    m_document.clearProgram(newProgramDescription());
}

bool ProgramFileActions::newProgram()
{
    if (!m_document.isDirty()) {
        reset();
        return true;
    }
    // Yes saves first, No discards, Cancel (or Escape, or the close box) keeps the
    // program: a box closed by mistake must not throw the work away.
    switch (m_op.askYesNoCancel(QStringLiteral("尚未存檔, 是否要存檔 ?"), QString())) {
    case Operator::Answer::Yes:
        break;
    case Operator::Answer::No:
        // Discard: the program goes, the unsaved mark stays so the next New asks again.
        reset();
        return true;
    case Operator::Answer::Cancel:
        return false;
    }
    m_programFileName = m_op.saveFileName(filter());
    // No name, nothing to write, or a save that did not happen: the program stays.
    if (m_programFileName.isEmpty() || m_document.lastRow() == 0)
        return false;
    if (!writeChecked(m_programFileName))
        return false;
    m_document.setDirty(false);
    reset();
    return true;
}

bool ProgramFileActions::openProgram()
{
    m_programFileName = m_op.openFileName(filter());
    // A cancelled dialog leaves the program as it is.
    if (m_programFileName.isEmpty())
        return false;
    return openProgramFile(m_programFileName);
}

bool ProgramFileActions::mayReplaceProgram()
{
    return mayDropUnsavedWork(replaceQuestion(), &ProgramFileActions::saveProgram);
}

bool ProgramFileActions::mayDropUnsavedWork(const QString &question, bool (ProgramFileActions::*save)())
{
    // Only work that would be lost is asked about: no steps, or the steps as they were
    // saved, opened or started with, go at once.
    if (!m_document.unsavedWork())
        return true;
    switch (m_op.askYesNoCancel(question, messageTitle())) {
    case Operator::Answer::Yes:
        return (this->*save)();
    case Operator::Answer::No:
        return true;
    case Operator::Answer::Cancel:
        break;
    }
    return false;
}

QString ProgramFileActions::replaceQuestion()
{
    return QStringLiteral("程式尚未存檔, 是否要先存檔?");
}

bool ProgramFileActions::saveProgram()
{
    if (m_documentFile.isEmpty())
        return saveProgramAs();
    const bool paused = pauseStatusPoll ? pauseStatusPoll() : false;
    const bool written = m_document.lastRow() != 0 && writeChecked(m_documentFile);
    if (paused && resumeStatusPoll)
        resumeStatusPoll();
    return written;
}

void ProgramFileActions::useFile(const QString &path)
{
    m_documentFile = path;
    if (fileUsed)
        fileUsed(path);
}

bool ProgramFileActions::openProgramFile(const QString &path)
{
    m_programFileName = path;
    if (!big5Available()) {
        m_op.notice(big5MissingText(), messageTitle(), Operator::Icon::Warning);
        return false;
    }
    const ProgramFileBytes read = readProgramFileBytes(m_programFileName);
    if (read.status == ProgramFileBytes::Status::CannotOpen) {
        m_op.notice(QStringLiteral("無法開啟檔案 %1 !\n%2").arg(m_programFileName, read.reason), messageTitle(),
                    Operator::Icon::Warning);
        return false;
    }
    if (read.status == ProgramFileBytes::Status::TooLarge) {
        m_op.notice(QStringLiteral("檔案 %1 太大, 不是 TALVEX 程式檔!").arg(m_programFileName), messageTitle(),
                    Operator::Icon::Warning);
        return false;
    }
    if (read.status == ProgramFileBytes::Status::CannotRead) {
        m_op.notice(QStringLiteral("無法讀取檔案 %1 !\n%2").arg(m_programFileName, read.reason), messageTitle(),
                    Operator::Icon::Warning);
        return false;
    }
    const QByteArray &bytes = read.bytes;

    const ProgramFileContents contents = parseProgramFile(bytes, m_document.table());
    useFile(m_programFileName);
    m_edit.CurrentRow = 1;
    m_document.replaceProgram(contents.table, contents.lastRow, openProgramDescription());
    m_document.setDirty(false);
    m_document.markSaved();

    QStringList cut;
    if (contents.rowsCut)
        cut << QStringLiteral("檔案超過 500 步, 只讀入前 500 步。");
    if (contents.fieldsCut)
        cut << QStringLiteral("有些行的欄位超過 5 個, 多出的欄位已略過。");
    if (contents.linesCut)
        cut << QStringLiteral("有些行超過 %1 個字, 多出的部分已略過。").arg(kMaxProgramLineCharacters);
    if (!cut.isEmpty())
        m_op.notice(cut.join(QLatin1Char('\n')), messageTitle(), Operator::Icon::Warning);
    return true;
}

bool ProgramFileActions::mayQuit()
{
    return mayDropUnsavedWork(quitQuestion(), &ProgramFileActions::saveProgramAs);
}

QString ProgramFileActions::quitQuestion()
{
    return QStringLiteral("程式尚未存檔, 是否要在結束前存檔?");
}

} // namespace talvex

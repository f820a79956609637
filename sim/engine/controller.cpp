#include "sim/engine/controller.h"

#include "core/big5.h"
#include "sim/engine/clock.h"

#include <QRegularExpression>

namespace talvex::sim {

namespace {

const QString kSaveFailed = QStringLiteral("save-failed");
const QString kDownloadTooLong = QStringLiteral("download-too-long");

QByteArray number(double value)
{
    return Interpreter::formatNumber(value).toLatin1();
}

} // namespace

Controller::Controller(const Clock &clock, const QString &storePath, QObject *parent)
    : QObject(parent), m_clock(clock), m_interpreter(m_machine), m_store(storePath)
{
}

double Controller::now() const
{
    return m_clock.nowMs();
}

bool Controller::powerUp(QString *error)
{
    QList<QByteArray> lines;
    QString why;
    if (m_store.load(&lines, &why)) {
        m_program = Program(lines);
        Q_EMIT programChanged();
        Q_EMIT note(QStringLiteral("已載入儲存的程式 (%1 行): %2").arg(lines.size()).arg(m_store.path()));
        return true;
    }
    if (why.isEmpty())
        return true;
    Q_EMIT note(QStringLiteral("無法讀取儲存的程式 %1: %2").arg(m_store.path(), why));
    if (error)
        *error = why;
    return false;
}

void Controller::advance()
{
    m_interpreter.advance(now());
}

void Controller::escape()
{
    if (!m_downloading)
        return;
    m_downloading = false;
    m_downloadTooLong = false;
    m_download.clear();
    Q_EMIT note(QStringLiteral("下載中斷 (ESC), 保留原來的程式"));
}

QByteArray Controller::handleLine(const QByteArray &line)
{
    // Everything the program does up to this moment happens before the command.
    advance();
    const QByteArray text = line.trimmed();
    // A query is answered even in the middle of a download, so that a station that
    // lost its line halfway can still find the controller alive.
    if (text.startsWith('?'))
        return query(text);
    if (m_downloading) {
        downloadLine(line);
        return {};
    }
    if (!text.isEmpty() && !command(text))
        unknown(line);
    return {};
}

QByteArray Controller::query(const QByteArray &line)
{
    const double t = now();
    if (line == "?VM")
        return number(m_machine.speed);
    if (line == "?VA")
        return number(m_machine.accel);
    if (line == "?INP")
        return QByteArray::number(m_machine.inputs);
    if (line == "?PEX")
        return number(m_machine.x.position(t));
    if (line == "?PEY")
        return number(m_machine.y.position(t));
    unknown(line);
    return {};
}

bool Controller::command(const QByteArray &line)
{
    const double t = now();
    if (line == "EC 0" || line == "EC 1") {
        if (m_interpreter.running())
            Q_EMIT note(QStringLiteral("程式停止 (%1)").arg(QString::fromLatin1(line)));
        m_interpreter.stop(t);
        return true;
    }
    if (line == "DL") {
        m_interpreter.stop(t);
        m_downloading = true;
        m_downloadTooLong = false;
        m_download.clear();
        m_commandError = CommandError();
        return true;
    }
    if (line == "SAVE P") {
        save();
        return true;
    }
    if (line == "G") {
        m_commandError = CommandError();
        m_interpreter.start(m_program, t);
        m_interpreter.advance(t);
        return true;
    }
    if (line == "HON" || line == "HOFF") {
        m_machine.handFree = line == "HOFF";
        return true;
    }
    if (line == "H") {
        m_machine.moveX(0.0, t);
        m_machine.moveY(0.0, t);
        return true;
    }

    static const QRegularExpression output(QStringLiteral("^(SET|CLR) P([1-8])$"));
    static const QRegularExpression move(QStringLiteral("^([XY])MA (.+)$"));
    const QString text = QString::fromLatin1(line);
    if (const QRegularExpressionMatch m = output.match(text); m.hasMatch()) {
        m_machine.setOutput(m.captured(2).toInt(), m.captured(1) == QLatin1String("SET"));
        return true;
    }
    if (const QRegularExpressionMatch m = move.match(text); m.hasMatch()) {
        double target = 0.0;
        if (!readNumber(m.captured(2).trimmed(), &target))
            return false;
        if (m.captured(1) == QLatin1String("X"))
            m_machine.moveX(target, t);
        else
            m_machine.moveY(target, t);
        return true;
    }
    return false;
}

void Controller::downloadLine(const QByteArray &line)
{
    if (!line.isEmpty()) {
        // The rest of an over-long download is still program text, not commands.
        if (m_download.size() >= kMaxProgramLines)
            m_downloadTooLong = true;
        else
            m_download.append(line);
        return;
    }
    m_downloading = false;
    if (m_downloadTooLong) {
        m_downloadTooLong = false;
        m_download.clear();
        failCommand(kDownloadTooLong, QStringLiteral("程式超過 %1 行, 下載失敗, 保留原來的程式").arg(kMaxProgramLines));
        return;
    }
    m_program = Program(m_download);
    m_download.clear();
    Q_EMIT programChanged();
    Q_EMIT note(QStringLiteral("收到程式 %1 行").arg(m_program.size()));
}

void Controller::save()
{
    QString error;
    if (!m_store.save(m_program.rawLines(), &error)) {
        failCommand(kSaveFailed, QStringLiteral("無法儲存程式到 %1: %2").arg(m_store.path(), error));
        return;
    }
    if (m_commandError.code == kSaveFailed)
        m_commandError = CommandError();
    Q_EMIT note(QStringLiteral("程式已儲存 (%1 行): %2").arg(m_program.size()).arg(m_store.path()));
}

// The operator reads it in the window, a script in "events" and "state".
void Controller::failCommand(const QString &code, const QString &text)
{
    m_commandError = {code, text};
    m_interpreter.addEvent(QStringLiteral("error ") + code, now());
    Q_EMIT note(text);
}

void Controller::unknown(const QByteArray &line)
{
    ++m_unknownCount;
    m_lastUnknown = line;
    Q_EMIT note(QStringLiteral("無法辨識的命令「%1」").arg(decodeBig5(line)));
}

} // namespace talvex::sim

#include "link/controllersession.h"

#include "core/big5.h"
#include "link/line.h"
#include "link/sleeper.h"

namespace talvex {

namespace {

const QByteArray kEscape(1, '\x1b');

QString moveX(const QString &x)
{
    return QStringLiteral("XMA ") + x;
}

QString moveY(const QString &y)
{
    return QStringLiteral("YMA ") + y;
}

} // namespace

ControllerSession::ControllerSession(Line &line) : m_line(line) {}

bool ControllerSession::probe()
{
    Line::Operation operation(m_line);
    if (m_line.lostInThisAction())
        return false;
    m_line.writeRaw(QByteArrayLiteral("?VM\r"));
    m_line.sleeper().sleep(kProbeWaitMs);
    // Bytes, not characters: a reply of one lead byte is still a reply.
    return m_line.receive().bytes > 0;
}

void ControllerSession::escapeTwice()
{
    m_line.writeRaw(kEscape);
    m_line.writeRaw(kEscape);
}

void ControllerSession::stopProgram()
{
    Line::Operation operation(m_line);
    if (m_line.lostInThisAction())
        return;
    escapeTwice();
    m_line.sendCommand(QStringLiteral("EC 0"));
}

void ControllerSession::endProgram()
{
    Line::Operation operation(m_line);
    if (m_line.lostInThisAction())
        return;
    m_line.sendCommand(QStringLiteral("EC 1"));
    finishSending();
}

bool ControllerSession::download(const QStringList &program)
{
    Line::Operation operation(m_line);
    if (m_line.lostInThisAction())
        return false;
    m_line.beginTransfer();
    escapeTwice();
    m_line.sendCommand(QStringLiteral("DL"));
    for (const QString &line : program) {
        if (m_line.lostInThisAction())
            break;
        m_line.sendCommand(line);
    }
    m_line.writeRaw(QByteArrayLiteral("\r"));
    // Every byte of the program must have left before anything else is asked: at 9600
    // baud a long program takes several seconds.
    return m_line.waitUntilSent(QStringLiteral("下載程式"));
}

void ControllerSession::storeProgram()
{
    if (!m_line.lostInThisAction())
        m_line.sendCommand(QStringLiteral("SAVE P"));
}

void ControllerSession::runProgram()
{
    if (!m_line.lostInThisAction())
        m_line.sendCommand(QStringLiteral("G"));
}

void ControllerSession::finishSending()
{
    if (!m_line.lostInThisAction())
        m_line.waitUntilSent(QStringLiteral("傳送"));
}

void ControllerSession::home()
{
    if (!m_line.lostInThisAction())
        m_line.sendCommand(QStringLiteral("H"));
}

void ControllerSession::sendMoveTo(const QString &x, const QString &y)
{
    Line::Operation operation(m_line);
    if (m_line.lostInThisAction())
        return;
    m_line.sendCommand(moveX(x));
    m_line.sendCommand(moveY(y));
}

void ControllerSession::moveTo(const QString &x, const QString &y)
{
    Line::Operation operation(m_line);
    if (m_line.lostInThisAction())
        return;
    m_line.writeLine(moveX(x));
    m_line.writeLine(moveY(y));
}

void ControllerSession::holdOn()
{
    if (!m_line.lostInThisAction())
        m_line.writeLine(QStringLiteral("HON"));
}

void ControllerSession::holdOff()
{
    if (!m_line.lostInThisAction())
        m_line.writeLine(QStringLiteral("HOFF"));
}

std::optional<QString> ControllerSession::readInputs()
{
    Line::Operation operation(m_line);
    if (m_line.lostInThisAction())
        return std::nullopt;
    m_line.discardReceived(); // stale replies are not the answer to this question
    if (!m_line.writeLine(QStringLiteral("?INP")))
        return std::nullopt;
    m_line.sleeper().sleep(Line::kQueryWaitMs);
    const QString answer = m_line.readText();
    if (!m_line.isOpen())
        return std::nullopt;
    return answer;
}

std::optional<QString> ControllerSession::query(const QString &command)
{
    Line::Operation operation(m_line);
    if (m_line.lostInThisAction())
        return std::nullopt;
    const QString answer = m_line.timedQuery(command);
    if (!m_line.isOpen())
        return std::nullopt;
    return answer;
}

std::optional<QString> ControllerSession::readAcceleration()
{
    return query(QStringLiteral("?VA"));
}

std::optional<QString> ControllerSession::readPositionX()
{
    return query(QStringLiteral("?PEX"));
}

std::optional<QString> ControllerSession::readPositionY()
{
    return query(QStringLiteral("?PEY"));
}

bool ControllerSession::setOutput(int n, bool on)
{
    if (m_line.lostInThisAction())
        return false;
    return m_line.writeLine((on ? QStringLiteral("SET P") : QStringLiteral("CLR P")) + QString::number(n));
}

QString ControllerSession::locateRefusal(const QString &what, const QString &text)
{
    const Big5Bytes encoded = encodeBig5(text);
    if (encoded.ok)
        return {};
    return QStringLiteral("%1「%2」中的「%3」無法以 Big5 傳送, 請修改後再定位!")
        .arg(what, text, characterAt(text, encoded.firstBad));
}

QString ControllerSession::locateRefusal(std::initializer_list<std::pair<QString, QString>> targets)
{
    for (const auto &[what, text] : targets) {
        if (QString refusal = locateRefusal(what, text); !refusal.isEmpty())
            return refusal;
    }
    return {};
}

} // namespace talvex

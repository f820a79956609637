#include "link/link.h"

#include "core/big5.h"
#include "core/operator.h"
#include "link/serialport.h"
#include "link/sleeper.h"

namespace talvex {

namespace {

constexpr char kCarriageReturn = '\r';
constexpr int kDrainStepMs = 20;

} // namespace

Link::Link(SerialPort &port, Sleeper &sleeper, Operator &op) : m_port(port), m_sleeper(sleeper), m_op(op) {}

QString Link::linkErrorText()
{
    return QStringLiteral(" 連線錯誤 !");
}

QString Link::notRespondingText()
{
    return QStringLiteral(" Not Response !!") + QStringLiteral("  連線錯誤 !");
}

Link::Operation::Operation(Link &link) : m_link(link)
{
    if (m_link.m_depth++ == 0)
        m_link.m_lostInOperation = false;
}

Link::Operation::~Operation()
{
    --m_link.m_depth;
}

bool Link::isOpen() const
{
    return m_port.isOpen();
}

void Link::lineLost()
{
    const bool first = !m_lostInOperation;
    m_lostInOperation = true;
    m_port.close();
    m_op.endProgress();
    if (first)
        m_op.notice(linkErrorText());
}

bool Link::checkLine()
{
    if (m_port.isOpen() && m_port.broken()) {
        lineLost();
        return false;
    }
    return m_port.isOpen();
}

bool Link::writeRaw(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return false;
    if (!m_port.write(bytes)) {
        lineLost();
        return false;
    }
    m_sentSinceDrain += bytes.size();
    return true;
}

bool Link::writeText(const QString &text)
{
    return writeRaw(encodeBig5(text).bytes);
}

bool Link::writeLine(const QString &text)
{
    return writeText(text) && writeRaw(QByteArray(1, kCarriageReturn));
}

QString Link::readText()
{
    if (!m_port.isOpen())
        return {};
    const QByteArray bytes = m_port.readAll();
    checkLine();
    return decodeBig5(bytes);
}

void Link::sendCommand(const QString &text)
{
    Operation operation(*this);
    if (!m_port.isOpen()) {
        // After the line died in this operation the operator has been told once.
        if (!m_lostInOperation)
            m_op.notice(linkErrorText());
        return;
    }
    writeLine(text);
}

QString Link::TimedQuery(const QString &query)
{
    Operation operation(*this);
    BusyScope busy(*this);
    sendCommand(query);
    m_sleeper.sleep(kQueryWaitMs);
    return readText();
}

bool Link::LinkProbe()
{
    Operation operation(*this);
    BusyScope busy(*this);
    writeRaw(QByteArrayLiteral("?VM\r"));
    m_sleeper.sleep(kProbeWaitMs);
    return !readText().isEmpty();
}

bool Link::waitUntilSent(const QString &what)
{
    BusyScope busy(*this);
    const qint64 total = m_sentSinceDrain;
    m_sentSinceDrain = 0;
    if (!m_port.isOpen())
        return false;
    const qint64 start = m_sleeper.now();
    qint64 lastProgress = start;
    qint64 lastPending = -1;
    bool shown = false;
    while (true) {
        if (!m_port.pushOutput() || m_port.broken()) {
            lineLost();
            return false;
        }
        const qint64 pending = m_port.pendingOutput();
        if (pending <= 0)
            break;
        const qint64 now = m_sleeper.now();
        if (pending != lastPending) {
            lastPending = pending;
            lastProgress = now;
        } else if (now - lastProgress > kStallMs) {
            // Nothing moves: the line is as good as gone, and waiting longer would
            // only freeze the station.
            lineLost();
            return false;
        }
        if (now - start >= kProgressAfterMs) {
            const qint64 sent = std::max<qint64>(0, total - pending);
            m_op.showProgress(QStringLiteral("%1中... 已送出 %2 / %3 位元組").arg(what).arg(sent).arg(total),
                              messageTitle(), sent, std::max(total, sent));
            shown = true;
        }
        m_sleeper.sleep(kDrainStepMs);
    }
    if (shown) {
        m_op.showProgress(QStringLiteral("%1完成, 已送出 %2 位元組").arg(what).arg(total), messageTitle(), total,
                          total);
        m_op.endProgress();
    }
    return true;
}

void Link::close()
{
    m_port.close();
    m_sentSinceDrain = 0;
}

} // namespace talvex

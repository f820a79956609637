#include "link/stationlink.h"

#include "core/operator.h"
#include "core/textnumber.h"
#include "link/linkview.h"
#include "link/serialport.h"

namespace talvex {

namespace {

QString connected()
{
    return QStringLiteral("連線中");
}

QString notConnected()
{
    return QStringLiteral("未連線");
}

} // namespace

StationLink::StationLink(SerialPort &port, Sleeper &sleeper, Operator &op, LinkView &view)
    : m_op(op, m_polls), m_line(port, sleeper, m_op, m_polls), m_session(m_line), m_view(view)
{
    QObject::connect(&m_line, &Line::stateChanged, [this](LinkState state) { showLineState(state); });
}

QString StationLink::connectNotice()
{
    return QStringLiteral(" 準備連線終止運作中程式");
}

QString StationLink::probeFailedText()
{
    return QStringLiteral("通訊有誤!");
}

void StationLink::showLineState(LinkState state)
{
    // The line coming up shows at the end of a connect (the probe may still fail) and
    // at the next tick; a line that goes down shows at once, whatever took it down.
    if (state == LinkState::Open)
        return;
    m_view.setLinkStatus(notConnected());
    m_view.setMotionButtonsEnabled(false);
}

void StationLink::connectController(const QString &comPort)
{
    Line::Operation operation(m_line);
    m_op.notice(connectNotice(), messageTitle());

    // A hand-edited settings file may name anything; only COM1..COM4 exist.
    const qint32 number = wholeNumberOf(comPort);
    if (number < 1 || number > 4) {
        m_op.notice(QStringLiteral("通訊埠設定「COM%1」無效, 請在「設定」→「COM_PORT」選擇 COM1 到 COM4!").arg(comPort),
                    messageTitle(), Operator::Icon::Warning);
        return;
    }
    // An open link stays on the port it was opened with; the new number is used by
    // the next open.
    if (!m_line.isOpen() && !m_line.open(number)) {
        const SerialPort &port = m_line.port();
        m_op.notice(QStringLiteral("無法開啟通訊埠 COM%1 (%2)!\n%3")
                        .arg(QString::number(number), port.deviceName(), port.openFailure()),
                    messageTitle(), Operator::Icon::Warning);
        return;
    }
    if (!m_session.probe()) {
        if (m_line.isOpen())
            m_op.notice(probeFailedText(), messageTitle());
        m_line.close();
        return;
    }
    m_session.stopProgram();
    if (!m_line.isOpen())
        return;
    m_view.setStatusTimerRunning(true);
    m_view.setLinkStatus(connected());
}

void StationLink::tick()
{
    Line::Operation operation(m_line);
    if (m_line.isOpen()) {
        m_view.setMotionButtonsEnabled(true);
        m_view.setLinkStatus(connected());
        pollInputs(m_session, m_view);
        syncOutputs(m_session, m_view, m_latch);
    } else {
        m_view.setStatusTimerRunning(false);
        m_view.setLinkStatus(notConnected());
        m_view.setMotionButtonsEnabled(false);
    }
}

bool StationLink::download(const QStringList &program)
{
    Line::Operation operation(m_line);
    m_view.setStatusTimerRunning(false);
    if (!m_session.probe()) {
        if (m_line.isOpen())
            m_op.notice(probeFailedText(), messageTitle());
        m_line.close();
        return false;
    }
    if (m_session.download(program))
        return true;
    m_view.setStatusTimerRunning(true);
    return false;
}

void StationLink::closeAfterDownload()
{
    m_session.finishSending();
    m_view.setMotionButtonsEnabled(false);
    m_line.close();
    m_view.setLinkStatus(notConnected());
}

void StationLink::exit()
{
    Line::Operation operation(m_line);
    if (m_line.isOpen()) {
        m_session.endProgram();
        m_line.close();
    }
}

void StationLink::locateRow(int row, const QString &x, const QString &y)
{
    // A cell read from a damaged file may hold a character Big5 cannot carry; nothing
    // is sent then.
    const QString where = QStringLiteral("第 %1 行的 ").arg(row);
    const QString refusal = ControllerSession::locateRefusal(
        {{where + QStringLiteral("X 座標"), x}, {where + QStringLiteral("Y 座標"), y}});
    if (!refusal.isEmpty()) {
        m_op.notice(refusal, messageTitle(), Operator::Icon::Warning);
        return;
    }
    m_session.sendMoveTo(x, y);
}

} // namespace talvex

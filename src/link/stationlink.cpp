#include "link/stationlink.h"

#include "core/operator.h"
#include "core/textnumber.h"
#include "link/linkview.h"
#include "link/serialport.h"

namespace talvex {

namespace {

const QByteArray kEscape(1, '\x1b');

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
    : m_link(port, sleeper, op), m_op(m_link.op()), m_view(view)
{
}

QString StationLink::connectNotice()
{
    return QStringLiteral(" 準備連線終止運作中程式");
}

QString StationLink::probeFailedText()
{
    return QStringLiteral("通訊有誤!");
}

void StationLink::Connect(const QString &comPort)
{
    Link::Operation operation(m_link);
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
    if (!m_link.isOpen() && !m_link.open(number)) {
        const SerialPort &port = m_link.port();
        m_op.notice(QStringLiteral("無法開啟通訊埠 COM%1 (%2)!\n%3")
                        .arg(QString::number(number), port.deviceName(), port.openFailure()),
                    messageTitle(), Operator::Icon::Warning);
        return;
    }
    if (!m_link.LinkProbe()) {
        if (m_link.isOpen())
            m_op.notice(probeFailedText(), messageTitle());
        m_link.close();
        return;
    }
    m_link.writeRaw(kEscape);
    m_link.writeRaw(kEscape);
    m_link.sendCommand(QStringLiteral("EC 0"));
    if (!m_link.isOpen())
        return;
    m_view.setStatusTimerRunning(true);
    m_view.setLinkStatus(connected());
}

void StationLink::tick()
{
    Link::Operation operation(m_link);
    if (m_link.isOpen()) {
        m_view.setMotionButtonsEnabled(true);
        m_view.setLinkStatus(connected());
        PollInputs(m_link, m_view);
        if (m_link.isOpen())
            SyncOutputs(m_link, m_view, m_latch);
    } else {
        m_view.setStatusTimerRunning(false);
        m_view.setLinkStatus(notConnected());
        m_view.setMotionButtonsEnabled(false);
    }
}

void StationLink::upload(const ProgramTable &table, int lastRow, const CompileOptions &options,
                         CompiledProgram &program, const QString &comPort)
{
    Link::Operation operation(m_link);
    if (!m_link.isOpen())
        Connect(comPort);
    if (!m_link.isOpen() || lastRow == 0)
        return;
    if (!CompileProgram(table, lastRow, options, program, m_op))
        return;
    QString reason;
    const QString listing = listingFilePath();
    if (!WriteListing(program, listing, &reason)) {
        // The listing is a record of what was sent, not part of the download.
        m_op.notice(QStringLiteral("無法寫入程式列表檔 %1, 程式仍會下載。\n%2").arg(listing, reason), messageTitle(),
                    Operator::Icon::Warning);
    }

    m_view.setStatusTimerRunning(false);
    if (!m_link.LinkProbe()) {
        if (m_link.isOpen())
            m_op.notice(probeFailedText(), messageTitle());
        m_link.close();
        return;
    }
    m_link.beginTransfer();
    m_link.writeRaw(kEscape);
    m_link.writeRaw(kEscape);
    m_link.sendCommand(QStringLiteral("DL"));
    for (int i = 0; i <= program.ProgramTextLast && m_link.isOpen(); ++i)
        m_link.sendCommand(program.ProgramText.at(static_cast<size_t>(i)));
    m_link.writeRaw(QByteArrayLiteral("\r"));
    // Every byte of the program must have left before the questions (and before the
    // port is closed): at 9600 baud a long program takes several seconds.
    if (!m_link.waitUntilSent(QStringLiteral("下載程式"))) {
        // The line died under the download (reported once already). The status timer
        // runs again so that its next tick shows the link as down.
        m_view.setStatusTimerRunning(true);
        return;
    }

    if (m_op.askYesNo(QStringLiteral("是否儲存程式?"), messageTitle()) && m_link.isOpen())
        m_link.sendCommand(QStringLiteral("SAVE P"));
    if (m_op.askYesNo(QStringLiteral("現在執行程式?"), messageTitle()) && m_link.isOpen())
        m_link.sendCommand(QStringLiteral("G"));
    m_link.waitUntilSent(QStringLiteral("傳送"));

    m_view.setMotionButtonsEnabled(false);
    m_link.close();
    m_view.setLinkStatus(notConnected());
}

void StationLink::exit()
{
    Link::Operation operation(m_link);
    if (m_link.isOpen()) {
        m_link.sendCommand(QStringLiteral("EC 1"));
        m_link.waitUntilSent(QStringLiteral("傳送"));
        m_link.close();
    }
}

void StationLink::locateRow(const ProgramTable &table, int row)
{
    // A cell read from a damaged file may hold a character Big5 cannot carry; nothing
    // is sent then.
    const QString where = QStringLiteral("第 %1 行的 ").arg(row);
    const QString refusal = Link::locateRefusal({{where + QStringLiteral("X 座標"), table.cell(row, 2)},
                                                 {where + QStringLiteral("Y 座標"), table.cell(row, 3)}});
    if (!refusal.isEmpty()) {
        m_op.notice(refusal, messageTitle(), Operator::Icon::Warning);
        return;
    }
    Link::Operation operation(m_link);
    m_link.sendCommand(QStringLiteral("XMA ") + table.cell(row, 2));
    m_link.sendCommand(QStringLiteral("YMA ") + table.cell(row, 3));
}

} // namespace talvex

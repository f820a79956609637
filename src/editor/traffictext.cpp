#include "editor/traffictext.h"

namespace talvex {

namespace {

bool isLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xfe;
}

bool isTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7e) || (byte >= 0xa1 && byte <= 0xfe);
}

QString controlName(unsigned char byte)
{
    switch (byte) {
    case 0x1b:
        return QStringLiteral("<ESC>");
    case '\r':
        return QStringLiteral("<CR>");
    case '\n':
        return QStringLiteral("<LF>");
    case '\t':
        return QStringLiteral("<TAB>");
    case 0x00:
        return QStringLiteral("<NUL>");
    default:
        return TrafficText::hexOf(byte);
    }
}

} // namespace

QString TrafficText::hexOf(unsigned char byte)
{
    return QStringLiteral("<0x%1>").arg(QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0')));
}

void TrafficText::append(const char *data, qsizetype size, QString &out)
{
    for (qsizetype i = 0; i < size; ++i)
        appendByte(static_cast<unsigned char>(data[i]), out);
}

void TrafficText::finish(QString &out)
{
    if (m_lead >= 0)
        out += hexOf(static_cast<unsigned char>(m_lead));
    m_lead = -1;
}

void TrafficText::appendByte(unsigned char byte, QString &out)
{
    if (m_lead >= 0) {
        const auto lead = static_cast<unsigned char>(m_lead);
        m_lead = -1;
        if (isTrailByte(byte)) {
            const QString character = big5Character(lead, byte);
            if (!character.isEmpty()) {
                out += character;
                return;
            }
        }
        // No character: the lead byte shows as it is, and this byte stands on its own.
        out += hexOf(lead);
    }
    if (byte >= 0x20 && byte < 0x7f)
        out += QLatin1Char(static_cast<char>(byte));
    else if (byte < 0x20)
        out += controlName(byte);
    else if (isLeadByte(byte))
        m_lead = byte;
    else
        out += hexOf(byte);
}

QString TrafficText::big5Character(unsigned char lead, unsigned char trail)
{
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    const QString text = m_big5.decode(QByteArray(pair, 2));
    if (text.isEmpty() || text.contains(QChar::ReplacementCharacter)) {
        m_big5.reset();
        return {};
    }
    return text;
}

} // namespace talvex

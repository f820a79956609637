#include "link/telnetcodec.h"

namespace talvex {

namespace {

constexpr char kSetBaudRate = 1;
constexpr char kSetDataSize = 2;
constexpr char kSetParity = 3;
constexpr char kSetStopSize = 4;
constexpr char kSetControl = 5;
constexpr char kParityNone = 1;
constexpr char kStopBitsOne = 1;
constexpr char kNoFlowControl = 1;
constexpr quint32 kBaudRate = 9600;

QByteArray subnegotiation(char command, const QByteArray &value)
{
    QByteArray bytes;
    bytes.append(TelnetCodec::kIac).append(TelnetCodec::kSb).append(TelnetCodec::kComPortOption).append(command);
    bytes.append(TelnetCodec::encode(value));
    bytes.append(TelnetCodec::kIac).append(TelnetCodec::kSe);
    return bytes;
}

} // namespace

QByteArray TelnetCodec::opening()
{
    QByteArray baud;
    for (int shift = 24; shift >= 0; shift -= 8)
        baud.append(static_cast<char>((kBaudRate >> shift) & 0xffU));
    QByteArray bytes;
    bytes.append(kIac).append(kWill).append(kComPortOption);
    bytes.append(subnegotiation(kSetBaudRate, baud));
    bytes.append(subnegotiation(kSetDataSize, QByteArray(1, 8)));
    bytes.append(subnegotiation(kSetParity, QByteArray(1, kParityNone)));
    bytes.append(subnegotiation(kSetStopSize, QByteArray(1, kStopBitsOne)));
    bytes.append(subnegotiation(kSetControl, QByteArray(1, kNoFlowControl)));
    return bytes;
}

QByteArray TelnetCodec::encode(const QByteArray &data)
{
    if (!data.contains(kIac))
        return data;
    QByteArray bytes;
    bytes.reserve(data.size() + data.count(kIac));
    for (const char c : data) {
        bytes.append(c);
        if (c == kIac)
            bytes.append(kIac);
    }
    return bytes;
}

void TelnetCodec::reset()
{
    m_state = State::Data;
    m_verb = 0;
    m_comPort = Answer::None;
}

void TelnetCodec::takeOption(char verb, char option, QByteArray &reply)
{
    if (option == kComPortOption && (verb == kDo || verb == kDont)) {
        // The answer to our offer; nothing to say back.
        m_comPort = verb == kDo ? Answer::Accepted : Answer::Refused;
        return;
    }
    // Anything else was not asked for: the station neither does it nor wants it. A
    // WONT or DONT leaves things as they are and needs no answer.
    if (verb == kDo)
        reply.append(kIac).append(kWont).append(option);
    else if (verb == kWill)
        reply.append(kIac).append(kDont).append(option);
}

TelnetCodec::Decoded TelnetCodec::decode(const QByteArray &received)
{
    Decoded out;
    out.data.reserve(received.size());
    for (const char c : received) {
        switch (m_state) {
        case State::Data:
            if (c == kIac)
                m_state = State::Command;
            else
                out.data.append(c);
            break;
        case State::Command:
            if (c == kIac) {
                out.data.append(kIac);
                m_state = State::Data;
            } else if (c == kWill || c == kWont || c == kDo || c == kDont) {
                m_verb = c;
                m_state = State::Option;
            } else if (c == kSb) {
                m_state = State::Subnegotiation;
            } else {
                // A command of two bytes (NOP, GA, a break...) means nothing to the line.
                m_state = State::Data;
            }
            break;
        case State::Option:
            takeOption(m_verb, c, out.reply);
            m_state = State::Data;
            break;
        case State::Subnegotiation:
            // The far end's answers and notices (line and modem state); the station
            // relies on none of them, so they are skipped without being kept.
            if (c == kIac)
                m_state = State::SubnegotiationCommand;
            break;
        case State::SubnegotiationCommand:
            if (c == kIac) {
                m_state = State::Subnegotiation;
            } else if (c == kSe) {
                m_state = State::Data;
            } else if (c == kWill || c == kWont || c == kDo || c == kDont) {
                // An unfinished subnegotiation: what follows is a command of its own.
                m_verb = c;
                m_state = State::Option;
            } else {
                m_state = c == kSb ? State::Subnegotiation : State::Data;
            }
            break;
        }
    }
    return out;
}

} // namespace talvex

#pragma once

#include <QByteArray>

namespace talvex {

/// The station's side of Telnet with the COM port control option (RFC 2217), as a
/// device server in front of the controller speaks it. Pure bytes in, bytes out: the
/// socket is the port's business.
///
/// Sending: the opening offers the option and sets the line to 9600 baud, 8 data
/// bits, no parity, one stop bit, no flow control; every data byte 0xFF goes as
/// IAC IAC. Receiving: IAC IAC gives one 0xFF, every negotiation and subnegotiation
/// is taken out, and an offer or a request for any option but ours is refused. A
/// command split between two reads is joined: the decoder keeps its place.
class TelnetCodec
{
public:
    static constexpr char kIac = '\xff';
    static constexpr char kDont = '\xfe';
    static constexpr char kDo = '\xfd';
    static constexpr char kWont = '\xfc';
    static constexpr char kWill = '\xfb';
    static constexpr char kSb = '\xfa';
    static constexpr char kSe = '\xf0';
    static constexpr char kComPortOption = 44;

    /// What the station sends first: WILL COM-PORT-OPTION, then SET-BAUDRATE 9600,
    /// SET-DATASIZE 8, SET-PARITY NONE, SET-STOPSIZE 1 and SET-CONTROL no flow control.
    static QByteArray opening();
    /// @p data as it travels: every 0xFF doubled.
    static QByteArray encode(const QByteArray &data);

    struct Decoded
    {
        /// The line's bytes.
        QByteArray data;
        /// What must be sent back (refusals), already encoded.
        QByteArray reply;
    };
    /// Takes the next bytes received.
    Decoded decode(const QByteArray &received);
    /// Forgets a command begun in an earlier read (a new connection).
    void reset();

    /// The far end agreed to (DO) or refused (DONT) the COM port option; neither
    /// while it has not answered.
    bool comPortAccepted() const { return m_comPort == Answer::Accepted; }
    bool comPortRefused() const { return m_comPort == Answer::Refused; }

private:
    enum class State
    {
        Data,
        /// After IAC.
        Command,
        /// After IAC and WILL, WONT, DO or DONT: the option follows.
        Option,
        /// Inside IAC SB ... IAC SE.
        Subnegotiation,
        /// After IAC inside a subnegotiation.
        SubnegotiationCommand
    };
    enum class Answer
    {
        None,
        Accepted,
        Refused
    };

    void takeOption(char verb, char option, QByteArray &reply);

    State m_state = State::Data;
    char m_verb = 0;
    Answer m_comPort = Answer::None;
};

} // namespace talvex

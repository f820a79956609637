#pragma once

#include <QString>

namespace talvex {

/// Where a COM entry leads when it names a line over the network instead of a device:
/// "tcp://HOST:PORT" carries the line's bytes as they are, "rfc2217://HOST:PORT"
/// speaks Telnet with the COM port control option (RFC 2217) to a device server.
/// HOST is a name, an IPv4 address or an IPv6 address in brackets ("[::1]").
struct NetworkAddress
{
    enum class Kind
    {
        /// Not a network address: a device path.
        Device,
        RawTcp,
        Rfc2217
    };

    Kind kind = Kind::Device;
    /// The host without brackets.
    QString host;
    quint16 port = 0;
    /// Why the text is no usable network address; empty when it is one (or a device).
    QString error;

    bool isNetwork() const { return kind != Kind::Device; }
    bool isValid() const { return error.isEmpty(); }
    /// "HOST:PORT" as the operator wrote it, an IPv6 host in brackets.
    QString hostAndPort() const;
};

/// True when @p device is written as a network address ("SCHEME://..."), usable or not.
bool isNetworkDevice(const QString &device);

/// Reads a COM entry's device. A device path gives Kind::Device; a network address
/// gives its parts, or an error in the operator's language when it is malformed.
NetworkAddress parseNetworkDevice(const QString &device);

} // namespace talvex

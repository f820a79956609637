#pragma once

#include <QByteArray>

#include <vector>

namespace talvex::sim {

/// Cuts the received bytes into command lines. A carriage return ends a line; an
/// ESC is a signal of its own and throws away whatever part of a line came before
/// it; line feeds and NUL bytes are dropped (the station never sends them, a
/// terminal typing at the controller might). A line that grows beyond kMaxLine is
/// cut there: nothing the station sends comes close.
class LineReader
{
public:
    static constexpr int kMaxLine = 1024;

    struct Item
    {
        enum class Kind
        {
            Line,
            Escape
        } kind;
        QByteArray line;
    };

    std::vector<Item> feed(const QByteArray &bytes);
    /// The part of a line received so far.
    const QByteArray &partial() const { return m_partial; }

private:
    QByteArray m_partial;
};

} // namespace talvex::sim

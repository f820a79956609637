#pragma once

#include "core/big5.h"

#include <QString>

namespace talvex {

/// Turns the bytes of one direction of the line into text an operator can read:
/// printable ASCII as it is; the control bytes by name ("<ESC>", "<CR>", "<LF>",
/// "<TAB>", "<NUL>") or else as "<0xNN>"; Big5 characters decoded; and every byte that
/// is no part of a Big5 character as "<0xNN>", so nothing on the line goes unseen.
/// The bytes come in the pieces they were written or read in: a character split
/// between two pieces is joined.
class TrafficText
{
public:
    /// Appends the text of @p size bytes at @p data to @p out. A lead byte at the end
    /// waits for its trail byte in the next piece.
    void append(const char *data, qsizetype size, QString &out);
    /// Forgets a lead byte still waiting: the stream starts anew.
    void reset() { m_lead = -1; }
    /// Ends the stream here: a lead byte still waiting for its trail byte is appended
    /// to @p out as it is, in hex.
    void finish(QString &out);

    static QString hexOf(unsigned char byte);

private:
    void appendByte(unsigned char byte, QString &out);
    /// The character of a lead and a trail byte, or the empty text when Big5 has none.
    QString big5Character(unsigned char lead, unsigned char trail);

    /// The lead byte of a two-byte character, waiting for its trail byte; -1: none.
    int m_lead = -1;
    /// The station's Big5 (the system's code page 950 on Windows), fed one pair at a time.
    Big5StreamDecoder m_big5;
};

} // namespace talvex

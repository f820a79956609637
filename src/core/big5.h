#pragma once

#include <QByteArray>
#include <QString>

namespace talvex {

/// Result of turning a text into Big5 bytes at a file or line boundary.
struct Big5Bytes
{
    QByteArray bytes;
    bool ok = true;
    /// Index (in QChar units) of the first character Big5 cannot hold, or -1.
    qsizetype firstBad = -1;
};

/// Encodes @p text as Big5. A character Big5 cannot represent makes ok false and is
/// located in firstBad; callers refuse such text instead of writing a replacement.
Big5Bytes encodeBig5(const QString &text);

/// Decodes Big5 bytes. Invalid sequences become replacement characters, a lead byte
/// at the very end (its trail byte missing) too; decoding never fails, so a damaged
/// file still opens.
QString decodeBig5(const QByteArray &bytes);

/// Whether Big5 can be converted here at all: through ICU, or the system's code page
/// 950 on Windows. Without the converter (a Qt built without ICU) every Chinese
/// character would decode to nothing and no file could be written faithfully.
bool big5Available();

/// What the operator is told when big5Available() is false.
QString big5MissingText();

/// Decodes Big5 that arrives in pieces, as it does on the serial line, where a read
/// ends wherever the bytes received so far end. A two-byte character split between
/// two pieces is joined: a lead byte at the end of one piece waits for its trail byte
/// at the start of the next. Invalid sequences become replacement characters.
class Big5StreamDecoder
{
public:
    QString decode(const QByteArray &bytes);
    /// Forgets a lead byte still waiting, for a stream that starts anew.
    void reset();

private:
    /// A lead byte that ended the last piece, waiting for its trail byte.
    QByteArray m_waiting;
};

/// The character at @p index of @p text as a printable text (a whole surrogate pair).
QString characterAt(const QString &text, qsizetype index);

} // namespace talvex

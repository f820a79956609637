#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// The platform's Big5 converter, one small file per platform: ICU through Qt
// (big5_icu.cpp) or the system's code page 950 on Windows (big5_cp950.cpp), the same
// table either way. big5.cpp does all that does not depend on the converter: ASCII,
// where characters start and end, a lead byte waiting for its trail byte, locating
// a character Big5 cannot hold.

namespace talvex::big5 {

inline bool isLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}

/// A byte read together with the lead byte before it. The table holds characters
/// only at 40..7E and A1..FE; a pair with 80..A0 is still read as one and has no
/// character (one U+FFFD), as ICU reads it.
inline bool isTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
}

/// Whether @p bytes end with a lead byte whose trail byte is missing. Read from the
/// start, as the converter reads: a lead byte followed by a byte that cannot trail it
/// stands alone, and that byte starts the next character.
bool endsWithLoneLeadByte(QByteArrayView bytes);

/// Whether this machine has the converter at all.
bool converterPresent();

/// The Big5 bytes of @p text, or nothing when a character of it has no Big5 form.
std::optional<QByteArray> encode(QStringView text);

/// The text of @p bytes, which do not end with a lead byte whose trail byte is
/// missing. A lead byte followed by a byte that cannot trail it reads as U+FFFD and
/// that byte starts the next character; a pair the table does not hold reads as one
/// U+FFFD.
QString decode(QByteArrayView bytes);

} // namespace talvex::big5

#include "core/big5.h"

#include "core/big5codec.h"

#include <algorithm>

namespace talvex {

namespace {

bool isAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; });
}

qsizetype characterLength(const QString &text, qsizetype index)
{
    if (index + 1 < text.size() && text.at(index).isHighSurrogate() && text.at(index + 1).isLowSurrogate())
        return 2;
    return 1;
}

/// Whether one character (@p part, a whole surrogate pair or a single unit) has a
/// Big5 form. Half of a surrogate pair has none; it is refused here because a
/// converter may keep a high surrogate at the very end for a next call and report
/// nothing.
bool fitsBig5(QStringView part)
{
    if (part.size() == 1 && part.front().isSurrogate())
        return false;
    return big5::encode(part).has_value();
}

bool holdsLoneSurrogate(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); i += characterLength(text, i)) {
        if (text.at(i).isSurrogate() && characterLength(text, i) == 1)
            return true;
    }
    return false;
}

} // namespace

bool big5::endsWithLoneLeadByte(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        if (!isLeadByte(static_cast<unsigned char>(bytes[i]))) {
            ++i;
        } else if (i + 1 == n) {
            return true;
        } else {
            i += isTrailByte(static_cast<unsigned char>(bytes[i + 1])) ? 2 : 1;
        }
    }
    return false;
}

Big5Bytes encodeBig5(const QString &text)
{
    Big5Bytes result;
    // Pure ASCII is by far the common case (every cell but label names).
    bool ascii = true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        result.bytes = text.toLatin1();
        return result;
    }

    if (std::optional<QByteArray> bytes = big5::encode(text); bytes && !holdsLoneSurrogate(text)) {
        result.bytes = std::move(*bytes);
        return result;
    }

    result.ok = false;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = characterLength(text, i);
        if (!fitsBig5(QStringView(text).mid(i, len))) {
            result.firstBad = i;
            break;
        }
        i += len;
    }
    return result;
}

QString decodeBig5(const QByteArray &bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    return big5::decode(bytes);
}

bool big5Available()
{
    // 中 is A4 A4 in Big5; a converter that exists but knows no Chinese fails too.
    static const bool available = [] {
        return big5::converterPresent() && big5::decode(QByteArrayView("\xA4\xA4")) == QStringLiteral("中") &&
               big5::encode(QStringLiteral("中")) == QByteArray("\xA4\xA4");
    }();
    return available;
}

QString big5MissingText()
{
    return QStringLiteral("本機的 Qt 沒有 Big5 編碼, 無法讀寫 TALVEX 程式檔!");
}

QString Big5StreamDecoder::decode(const QByteArray &bytes)
{
    // Until a byte outside ASCII arrives nothing can be waiting for a trail byte.
    if (m_waiting.isEmpty() && isAscii(bytes))
        return QString::fromLatin1(bytes);
    QByteArray piece = m_waiting + bytes;
    m_waiting.clear();
    // A read ends wherever the bytes received so far end: a lead byte there is kept
    // for the trail byte that starts the next piece.
    if (big5::endsWithLoneLeadByte(piece)) {
        m_waiting = piece.right(1);
        piece.chop(1);
    }
    return big5::decode(piece);
}

void Big5StreamDecoder::reset()
{
    m_waiting.clear();
}

QString characterAt(const QString &text, qsizetype index)
{
    if (index < 0 || index >= text.size())
        return {};
    return text.mid(index, characterLength(text, index));
}

} // namespace talvex

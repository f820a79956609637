#include "core/big5.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace talvex {

namespace {

bool fitsBig5(QStringView part)
{
    QStringEncoder encoder("Big5");
    const QByteArray out = encoder.encode(part);
    Q_UNUSED(out);
    return !encoder.hasError();
}

bool isAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; });
}

bool isLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}

bool isTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
}

/// Whether @p bytes end with a lead byte whose trail byte is missing. Read from the
/// start, as the converter reads: a lead byte followed by a byte that cannot trail it
/// stands alone, and that byte starts the next character.
bool endsWithLoneLeadByte(const QByteArray &bytes)
{
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        if (!isLeadByte(b)) {
            ++i;
        } else if (i + 1 == n) {
            return true;
        } else {
            i += isTrailByte(static_cast<unsigned char>(bytes.at(i + 1))) ? 2 : 1;
        }
    }
    return false;
}

qsizetype characterLength(const QString &text, qsizetype index)
{
    if (index + 1 < text.size() && text.at(index).isHighSurrogate() && text.at(index + 1).isLowSurrogate())
        return 2;
    return 1;
}

} // namespace

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

    QStringEncoder encoder("Big5");
    result.bytes = encoder.encode(text);
    if (!encoder.hasError())
        return result;

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
    QStringDecoder decoder("Big5");
    QString text = decoder.decode(bytes);
    // The converter keeps a lead byte at the very end for a next call that never
    // comes; these bytes end here, so it is as undecodable as any other.
    if (endsWithLoneLeadByte(bytes))
        text += QChar(QChar::ReplacementCharacter);
    return text;
}

bool big5Available()
{
    // 中 is A4 A4 in Big5; a converter that exists but knows no Chinese fails too.
    static const bool available = [] {
        QStringDecoder decoder("Big5");
        QStringEncoder encoder("Big5");
        return decoder.isValid() && encoder.isValid() &&
               decoder.decode(QByteArray("\xA4\xA4")) == QStringLiteral("中") &&
               QByteArray(encoder.encode(QStringLiteral("中"))) == QByteArray("\xA4\xA4");
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
    if (!m_decoder) {
        if (isAscii(bytes))
            return QString::fromLatin1(bytes);
        m_decoder.emplace("Big5");
    }
    // The converter is stateful: an incomplete sequence at the end of one call is
    // kept and completed by the next.
    return m_decoder->decode(bytes);
}

void Big5StreamDecoder::reset()
{
    m_decoder.reset();
}

QString characterAt(const QString &text, qsizetype index)
{
    if (index < 0 || index >= text.size())
        return {};
    return text.mid(index, characterLength(text, index));
}

} // namespace talvex

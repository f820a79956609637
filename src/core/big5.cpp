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
    return decoder.decode(bytes);
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

// Big5 through Qt's ICU converter, everywhere but Windows. Qt calls ICU's code page
// 950 table "Big5".
#include "core/big5codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace talvex::big5 {

bool converterPresent()
{
    return QStringDecoder("Big5").isValid() && QStringEncoder("Big5").isValid();
}

std::optional<QByteArray> encode(QStringView text)
{
    QStringEncoder encoder("Big5");
    QByteArray bytes = encoder.encode(text);
    if (!encoder.isValid() || encoder.hasError())
        return std::nullopt;
    return bytes;
}

QString decode(QByteArrayView bytes)
{
    // A new converter each time: no lead byte is left over from anyone else.
    QStringDecoder decoder("Big5");
    QString text = decoder.decode(bytes);
    // The converter keeps a lead byte at the very end for a next call that never
    // comes; these bytes end here, so it is as undecodable as any other.
    if (endsWithLoneLeadByte(bytes))
        text += QChar(QChar::ReplacementCharacter);
    return text;
}

} // namespace talvex::big5

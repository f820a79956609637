// Big5 through the system's code page 950 on Windows, where Qt has no Big5 converter
// of its own. Code page 950 is the table ICU reads as "Big5" elsewhere.
#include "core/big5codec.h"

#include "core/windowsapi.h"

#include <algorithm>
#include <cstring>

namespace talvex::big5 {

namespace {

constexpr UINT kCodePage = 950;
/// Most handed to the system in one call: its lengths are ints, and the system reads
/// a run of well-formed characters much faster than one character at a time.
constexpr qsizetype kRunBytes = qsizetype(1) << 20;
constexpr qsizetype kRunChars = qsizetype(1) << 20;

/// The character of one Big5 unit (a single byte or a lead and trail byte), or
/// U+FFFD where the table has none.
QChar unitCharacter(const char *unit, int size)
{
    wchar_t c = 0;
    if (MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, unit, size, &c, 1) == 1)
        return QChar(static_cast<char16_t>(c));
    // Some versions of the system refuse a unit of the table's own under
    // MB_ERR_INVALID_CHARS (Wine: 0xFF, which is U+F8F8 both ways). A unit whose
    // character converts back to it exactly is in the table all the same.
    if (MultiByteToWideChar(kCodePage, 0, unit, size, &c, 1) != 1)
        return QChar(QChar::ReplacementCharacter);
    char back[2] = {};
    BOOL usedDefault = FALSE;
    if (WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &c, 1, back, 2, nullptr, &usedDefault) == size &&
        !usedDefault && std::memcmp(back, unit, static_cast<size_t>(size)) == 0)
        return QChar(static_cast<char16_t>(c));
    return QChar(QChar::ReplacementCharacter);
}

/// Length of the unit at @p i: 2 for a lead byte with its trail byte, 1 otherwise
/// (a lead byte no trail byte follows stands alone).
qsizetype unitLength(QByteArrayView bytes, qsizetype i)
{
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (isLeadByte(b) && i + 1 < bytes.size() && isTrailByte(static_cast<unsigned char>(bytes[i + 1])))
        return 2;
    return 1;
}

/// Appends the text of @p run (whole units, no lone lead byte, @p units of them) to
/// @p text.
void appendRun(QByteArrayView run, qsizetype units, QString &text)
{
    if (run.isEmpty())
        return;
    // Every unit of code page 950 is one UTF-16 unit. When the system converts the
    // whole run into exactly that many, it read the units as they were cut here.
    const qsizetype start = text.size();
    text.resize(start + units);
    const int converted = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, run.data(), static_cast<int>(run.size()),
                                              reinterpret_cast<LPWSTR>(text.data() + start), static_cast<int>(units));
    if (converted == units)
        return;
    // A pair the table does not hold fails the whole call: one unit at a time, each
    // unit with no character reads as U+FFFD and the rest as they are.
    text.resize(start);
    for (qsizetype i = 0; i < run.size();) {
        const qsizetype len = unitLength(run, i);
        text += unitCharacter(run.data() + i, static_cast<int>(len));
        i += len;
    }
}

} // namespace

bool converterPresent()
{
    return IsValidCodePage(kCodePage) != 0;
}

std::optional<QByteArray> encode(QStringView text)
{
    QByteArray bytes;
    qsizetype done = 0;
    while (done < text.size()) {
        qsizetype count = std::min(text.size() - done, kRunChars);
        // A surrogate pair is converted whole.
        if (done + count < text.size() && text[done + count - 1].isHighSurrogate())
            --count;
        const auto *wide = reinterpret_cast<LPCWSTR>(text.utf16() + done);
        // No best fit: a character Big5 cannot hold must fail here, not come out as a
        // look-alike or as the default character "?".
        BOOL usedDefault = FALSE;
        const int size = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, static_cast<int>(count), nullptr, 0,
                                             nullptr, &usedDefault);
        if (size <= 0 || usedDefault)
            return std::nullopt;
        const qsizetype start = bytes.size();
        bytes.resize(start + size);
        if (WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, static_cast<int>(count), bytes.data() + start,
                                size, nullptr, &usedDefault) != size ||
            usedDefault)
            return std::nullopt;
        done += count;
    }
    return bytes;
}

QString decode(QByteArrayView bytes)
{
    // The boundaries of characters are found here, as ICU finds them, so damaged
    // bytes read the same on every platform; the system only converts whole units.
    QString text;
    text.reserve(bytes.size());
    qsizetype runStart = 0;
    qsizetype runUnits = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        if (runUnits > 0 && i - runStart >= kRunBytes) {
            appendRun(bytes.sliced(runStart, i - runStart), runUnits, text);
            runStart = i;
            runUnits = 0;
        }
        const qsizetype len = unitLength(bytes, i);
        if (len == 1 && isLeadByte(static_cast<unsigned char>(bytes[i]))) {
            appendRun(bytes.sliced(runStart, i - runStart), runUnits, text);
            text += QChar(QChar::ReplacementCharacter);
            runStart = i + 1;
            runUnits = 0;
        } else {
            ++runUnits;
        }
        i += len;
    }
    appendRun(bytes.sliced(runStart), runUnits, text);
    return text;
}

} // namespace talvex::big5

#include "core/textnumber.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace talvex {

namespace {

bool isSkipped(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// QCoreApplication adopts the user's locale on Unix, which may use a decimal comma;
// numbers in cells always use the point, so conversion runs in the "C" locale.
double strtodC(const char *text)
{
#if defined(_WIN32)
    static const _locale_t c = _create_locale(LC_NUMERIC, "C");
    return _strtod_l(text, nullptr, c);
#else
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    return strtod_l(text, nullptr, c);
#endif
}

} // namespace

double leadingNumber(QStringView text)
{
    // The accepted characters are collected without the skipped blanks; `valid`
    // remembers how much of that collection last formed a complete number, so
    // "12e" or "-." fall back to the part that did read ("12", nothing).
    std::string accepted;
    size_t valid = 0;
    enum class Stage
    {
        Sign,
        Integer,
        Fraction,
        ExponentSign,
        Exponent
    } stage = Stage::Sign;
    bool mantissaDigits = false;

    for (const QChar c : text) {
        if (isSkipped(c))
            continue;
        const char ch = static_cast<char>(c.unicode() < 128 ? c.unicode() : 0);
        bool take = false;
        switch (stage) {
        case Stage::Sign:
            if (ch == '+' || ch == '-') {
                take = true;
                stage = Stage::Integer;
                break;
            }
            stage = Stage::Integer;
            [[fallthrough]];
        case Stage::Integer:
            if (isDigit(c)) {
                take = mantissaDigits = true;
            } else if (ch == '.') {
                take = true;
                stage = Stage::Fraction;
            } else if ((ch == 'e' || ch == 'E') && mantissaDigits) {
                take = true;
                stage = Stage::ExponentSign;
            }
            break;
        case Stage::Fraction:
            if (isDigit(c)) {
                take = mantissaDigits = true;
            } else if ((ch == 'e' || ch == 'E') && mantissaDigits) {
                take = true;
                stage = Stage::ExponentSign;
            }
            break;
        case Stage::ExponentSign:
            if (ch == '+' || ch == '-') {
                take = true;
                stage = Stage::Exponent;
                break;
            }
            stage = Stage::Exponent;
            [[fallthrough]];
        case Stage::Exponent:
            take = isDigit(c);
            break;
        }
        if (!take)
            break;
        accepted.push_back(ch);
        if (isDigit(c) && (stage == Stage::Integer || stage == Stage::Fraction || stage == Stage::Exponent))
            valid = accepted.size();
    }

    if (!mantissaDigits || valid == 0)
        return 0.0;
    accepted.resize(valid);
    const double value = strtodC(accepted.c_str());
    if (std::isinf(value))
        return value > 0 ? std::numeric_limits<double>::max() : std::numeric_limits<double>::lowest();
    return value;
}

qint32 toWholeNumber(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value); // default rounding mode: halves to even
    if (rounded >= 2147483647.0)
        return std::numeric_limits<qint32>::max();
    if (rounded <= -2147483648.0)
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(rounded);
}

qint32 wholeNumberOf(QStringView text)
{
    return toWholeNumber(leadingNumber(text));
}

} // namespace talvex

#include "table/stepkind.h"

#include <array>

namespace talvex {

namespace {

// "LABLE" and "GLABLE" are the spellings stored in program files and compared by
// the compiler; they must not be corrected.
const std::array<const char *, kKindCount> kLiterals = {
    "POINT", "LINE", "ARC", "CIR", "VM", "WT", "LOOP", "LOOPEND", "LABLE", "GLABLE", "HOME",
};

} // namespace

QString kindLiteral(StepKind kind)
{
    if (kind == StepKind::Unknown)
        return {};
    return QString::fromLatin1(kLiterals[static_cast<size_t>(kind) - 1]);
}

StepKind kindOf(const QString &kindText)
{
    for (size_t i = 0; i < kLiterals.size(); ++i) {
        if (kindText == QLatin1String(kLiterals[i]))
            return static_cast<StepKind>(i + 1);
    }
    return StepKind::Unknown;
}

int iconIndexOf(const QString &kindText)
{
    return static_cast<int>(kindOf(kindText));
}

} // namespace talvex

#pragma once

#include <QStringView>
#include <QtGlobal>

namespace talvex {

/// Value of the longest leading part of @p text that reads as a decimal number:
/// optional sign, digits, at most one decimal point, optional exponent (E or e).
/// Blanks, tabs and line feeds are skipped wherever they occur; any other character
/// ends the scan. A text without a leading number gives 0.
double leadingNumber(QStringView text);

/// Rounds to a whole number with halves going to the even neighbour and clamps to
/// the 32-bit signed range (NaN gives 0). Never undefined behaviour.
qint32 toWholeNumber(double value);

/// leadingNumber() followed by toWholeNumber(): how every cell that holds a count,
/// a mask or a row number is read.
qint32 wholeNumberOf(QStringView text);

} // namespace talvex

#pragma once

#include <QString>

class QMessageBox;

namespace talvex {

/// Cuts every run of more than @p maxRun characters that holds no white space (a long
/// path, say) in the middle, keeping its start and its end around an ellipsis.
QString elideLongRuns(const QString &text, qsizetype maxRun);

/// Runs @p box modally, its text first made to fit the screen it shows on: long runs
/// cut in the middle and, if the box would still be too large, the text cut short.
/// Whatever was cut is in the box's detailed text, whole.
int execWithinScreen(QMessageBox &box);

} // namespace talvex

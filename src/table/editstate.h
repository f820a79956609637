#pragma once

#include <QString>

namespace talvex {

/// The operator's pending request: the row chosen last and which of append, insert and
/// modify the next placed step follows. Kept by the main window.
struct PendingEdit
{
    /// The row the next insert or modify acts on; after an append, the row just written.
    int CurrentRow = 0;
    bool AppendMode = false;
    bool InsertMode = false;
    bool ModifyMode = false;
};

/// The pending request together with the program's own state, as the placement rules
/// work on them. The program document owns LastRow and Dirty; this is a working copy.
struct EditState : PendingEdit
{
    /// Number of steps, which is also the index of the last step row.
    int LastRow = 0;
    /// Editing has begun: the table may differ from the program file.
    bool Dirty = false;
};

/// The other values the main window keeps for its dialogs and steps. They are texts,
/// as typed or confirmed; numbers are read from them only where they are used.
struct StationValues
{
    QString SpeedValue = QStringLiteral("100");
    QString DelayValue;
    /// "1" while a point requested by the Point button is pending.
    QString PointKindFlag = QStringLiteral("0");
    QString TeachX = QStringLiteral("0");
    QString TeachY = QStringLiteral("0");
    /// Numeric input (true) or teach input (false) in the teach dialog.
    bool NumericInput = true;
    /// Selected port number as read or chosen, normally "1".."4".
    QString ComPort = QStringLiteral("1");
};

} // namespace talvex

#pragma once

#include <QIcon>
#include <QSize>

namespace talvex {

/// Size of the kind icons in the step list.
inline QSize kindIconSize()
{
    return {16, 15};
}

/// The step list's icon for kind index 1..11; any other index gives the neutral
/// question-mark icon.
QIcon kindIcon(int index);

} // namespace talvex

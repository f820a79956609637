#pragma once

#include <QIcon>
#include <QString>

namespace talvex {

/// The icon ":/icons/NAME.png", with ":/icons/NAME@2x.png" for screens of twice the
/// density. The icons are PNG images made from their SVG drawings by
/// scripts/make-icons, so no image plugin is needed to show them.
QIcon pngIcon(const QString &name);

} // namespace talvex

#pragma once

namespace talvex::sim {

/// Makes the window draw its Chinese with Traditional glyph forms where the system
/// has no Ming face of its own.
void registerFontSubstitutions();

} // namespace talvex::sim

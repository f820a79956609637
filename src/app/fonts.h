#pragma once

namespace talvex {

/// Makes the form's Ming face ("新細明體") and the default UI font draw Chinese with
/// Traditional glyph forms where the system has no such font of its own.
void registerFontSubstitutions();

} // namespace talvex

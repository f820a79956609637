#pragma once

namespace talvex {

/// Makes the form's Ming face ("新細明體") and the default UI font draw Chinese with
/// Traditional glyph forms, with the faces this platform has (Noto CJK TC on Linux).
void registerFontSubstitutions();

} // namespace talvex

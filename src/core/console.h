#pragma once

namespace talvex {

/// Lets a windowed program started from a console print there (--help, --version,
/// errors): on Windows it attaches to the console of the process that started it when
/// standard output and error lead nowhere. Elsewhere standard output is always there.
void useParentConsole();

} // namespace talvex

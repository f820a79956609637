#include "core/console.h"

namespace talvex {

void useParentConsole() {}

} // namespace talvex

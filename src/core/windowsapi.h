#pragma once

// <windows.h> as the station's Windows files include it: without the min and max
// macros (mingw-w64's libstdc++ may have asked for that already) and the rarely used
// parts.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

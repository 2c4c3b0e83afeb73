#pragma once
// The window's fonts, each made from its face and point size at the window's dots per inch. A
// stock font is not scaled instead: the system may have made it for its own DPI already.

#include <windows.h>

#include "app/win32/Layout.h"

namespace app::win32 {

LOGFONTW fontOf(FontKind kind, int dotsPerInch);

}  // namespace app::win32

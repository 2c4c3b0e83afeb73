#include "app/win32/Fonts.h"

namespace app::win32 {

namespace {

// face at hundredths of a point.
LOGFONTW font(const wchar_t* face, int centiPoints, int weight, int dotsPerInch) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(centiPoints, dotsPerInch, 7200);
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return font;
}

}  // namespace

LOGFONTW fontOf(FontKind kind, int dotsPerInch) {
    switch (kind) {
        case FontKind::Heading: return font(L"MS Sans Serif", 1200, FW_BOLD, dotsPerInch);
        case FontKind::ListComment: return font(L"MS Sans Serif", 825, FW_BOLD, dotsPerInch);
        case FontKind::Standard: break;
    }
    // The dialog font the system maps to its own user-interface face, 8 pt as in its message boxes.
    return font(L"MS Shell Dlg", 800, FW_NORMAL, dotsPerInch);
}

}  // namespace app::win32

#include "app/win32/Layout.h"

namespace app::win32 {

int twipsToPixels(int twips, int dotsPerInch) {
    const long long scaled = static_cast<long long>(twips) * dotsPerInch;
    return static_cast<int>((scaled + (scaled >= 0 ? 720 : -720)) / 1440);
}

std::optional<Control> controlOf(int id) {
    const int index = id - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(kControls.size())) return std::nullopt;
    return kControls[static_cast<std::size_t>(index)].control;
}

}  // namespace app::win32

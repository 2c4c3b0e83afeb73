#pragma once
// The window's layout in pixels and child window ids, both following the controls' descriptions.

#include <optional>

#include "app/Controls.h"

namespace app::win32 {

inline constexpr const wchar_t* kWindowClass = L"frmRam2Kov";
inline constexpr int kClientWidthTwips = 11175;
inline constexpr int kClientHeightTwips = 8325;
inline constexpr int kProgressMaximum = 99;

// Twips to pixels at dotsPerInch, rounded to the nearest pixel.
int twipsToPixels(int twips, int dotsPerInch);

// Child window ids follow the controls' order, above the dialog manager's own ids (IDOK, IDCANCEL).
inline constexpr int kFirstControlId = 100;
constexpr int idOf(Control control) { return kFirstControlId + static_cast<int>(indexOf(control)); }
// The control behind a child window id; none for any other id.
std::optional<Control> controlOf(int id);

}  // namespace app::win32

#pragma once
// The window's layout: every control with its kind, caption, position in twips (1440 per inch),
// tab index and state at start. Positions of the frame's controls are relative to the frame.

#include <array>
#include <optional>

#include "app/View.h"

namespace app::win32 {

// Child window ids. The ids of the four captions follow the control array's indices.
enum ControlId : int {
    kLblHeader = 100,
    kLabel0 = 110,
    kLabel1 = 111,
    kLabel2 = 112,
    kLabel3 = 113,
    kCmdOpen = 120,
    kTxtADR,
    kLblDatenpool,
    kScrFortschritt,
    kCmdStart,
    kLblListenkommentar,
    kLstImport,
    kCmdAdressen,
    kFraUndo,
    kTxtIDVon,
    kTxtIdBis,
    kCmdUndo,
    kCmdImport,
};

enum class ControlKind {
    Label,
    TargetLabel,  // white background, single border
    Button,
    PictureButton,
    TextBox,
    ProgressBar,
    ListBox,
    Frame,
};

enum class FontKind {
    Standard,     // the window's standard font
    Heading,      // "MS Sans Serif" 12 pt bold
    ListComment,  // "MS Sans Serif" 8.25 pt bold
};

struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ControlLayout {
    int id;
    ControlKind kind;
    const char* caption;  // UTF-8
    Twips position;
    int tabIndex;
    bool enabled;
    bool inFrame;  // position relative to fraUndo
    FontKind font;
};

inline constexpr const wchar_t* kWindowClass = L"frmRam2Kov";
inline constexpr int kClientWidthTwips = 11175;
inline constexpr int kClientHeightTwips = 7815;
inline constexpr int kProgressMaximum = 99;

extern const std::array<ControlLayout, 18> kControls;

const ControlLayout& specOf(int id);
// The control's position in twips relative to the window's client area.
Twips positionInWindow(const ControlLayout& layout);
// Twips to pixels at dotsPerInch, rounded to the nearest pixel.
int twipsToPixels(int twips, int dotsPerInch);
int idOf(Control control);
// The logic's control behind a child window id; none for the controls it does not use.
std::optional<Control> controlOf(int id);

}  // namespace app::win32

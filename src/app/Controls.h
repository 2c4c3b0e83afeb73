#pragma once
// Every control of the window, described once: its kind, its caption and state at start, and its
// place in twips (1440 per inch). The window creates its controls from this table, and the views
// that hold their controls in memory start from it.

#include <array>
#include <cstddef>

#include "app/Texts.h"

namespace app {

// In tab order: the tab key follows this order, and the table below lists the controls in it.
enum class Control {
    lblHeader,
    cmdStart,
    scrFortschritt,
    txtADR,
    Label0,  // the four static captions, the control array "Label"
    Label1,
    lblDatenpool,
    cmdOpen,
    lstImport,
    lblListenkommentar,
    cmdBericht,
    cmdImport,
    cmdAdressen,
    fraUndo,
    Label2,
    txtIDVon,
    Label3,
    txtIdBis,
    cmdUndo,
    lblErgebnis,  // the counts of the last conversion
};

enum class ControlKind {
    Label,
    TargetLabel,  // white background, single border
    PathLabel,    // a text that names a path: when it is too long, the middle of the path gives way
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

struct ControlDescription {
    Control control;
    ControlKind kind;
    const char* caption = "";  // UTF-8
    Twips position;
    bool inFrame = false;  // position relative to fraUndo
    bool enabled = true;
    FontKind font = FontKind::Standard;
};

inline constexpr auto kControls = std::to_array<ControlDescription>({
    {.control = Control::lblHeader,
     .kind = ControlKind::Label,
     .caption = texts::kHeaderCaption.data(),
     .position = {120, 120, 6720, 405},
     .font = FontKind::Heading},
    {.control = Control::cmdStart,
     .kind = ControlKind::Button,
     .caption = texts::kConvertCaption.data(),
     .position = {9405, 2025, 1335, 375}},
    {.control = Control::scrFortschritt, .kind = ControlKind::ProgressBar, .position = {180, 1545, 10590, 375}},
    {.control = Control::txtADR, .kind = ControlKind::TextBox, .position = {3600, 450, 7170, 360}},
    // The source row's caption is wide enough for the system's dialog font, which is wider than
    // "MS Sans Serif"; the folder button moves right into the gap before the text box to make room.
    {.control = Control::Label0,
     .kind = ControlKind::Label,
     .caption = texts::kSourceCaption.data(),
     .position = {120, 540, 2985, 360}},
    {.control = Control::Label1,
     .kind = ControlKind::Label,
     .caption = texts::kTargetCaption.data(),
     .position = {150, 915, 1410, 315}},
    {.control = Control::lblDatenpool, .kind = ControlKind::TargetLabel, .position = {3600, 855, 7245, 360}},
    {.control = Control::cmdOpen, .kind = ControlKind::PictureButton, .position = {3120, 480, 435, 320}},
    {.control = Control::lstImport, .kind = ControlKind::ListBox, .position = {240, 2535, 10635, 3960}},
    // The summary names the Datenpool's path, which may be longer than the line; the line reaches
    // up to the conversion button, so that the words of a cancelled run's summary fit beside "…".
    {.control = Control::lblListenkommentar,
     .kind = ControlKind::PathLabel,
     .position = {195, 2130, 9090, 330},
     .font = FontKind::ListComment},
    {.control = Control::cmdBericht,
     .kind = ControlKind::Button,
     .caption = texts::kReportCaption.data(),
     .position = {7380, 6720, 1485, 390},
     .enabled = false},
    {.control = Control::cmdImport,
     .kind = ControlKind::Button,
     .caption = texts::kImportCaption.data(),
     .position = {9360, 6720, 1485, 390},
     .enabled = false},
    {.control = Control::cmdAdressen,
     .kind = ControlKind::Button,
     .caption = texts::kAddressListCaption.data(),
     .position = {300, 6660, 1935, 360}},
    {.control = Control::fraUndo,
     .kind = ControlKind::Frame,
     .caption = texts::kLastImportCaption.data(),
     .position = {3705, 6615, 3240, 1110}},
    {.control = Control::Label2,
     .kind = ControlKind::Label,
     .caption = texts::kIdsCaption.data(),
     .position = {255, 345, 360, 240},
     .inFrame = true},
    {.control = Control::txtIDVon, .kind = ControlKind::TextBox, .position = {735, 315, 765, 285}, .inFrame = true},
    {.control = Control::Label3,
     .kind = ControlKind::Label,
     .caption = texts::kUpToCaption.data(),
     .position = {1755, 345, 360, 240},
     .inFrame = true},
    {.control = Control::txtIdBis, .kind = ControlKind::TextBox, .position = {2370, 345, 765, 285}, .inFrame = true},
    {.control = Control::cmdUndo,
     .kind = ControlKind::Button,
     .caption = texts::kUndoCaption.data(),
     .position = {195, 705, 2955, 285},
     .inFrame = true,
     .enabled = false},
    {.control = Control::lblErgebnis, .kind = ControlKind::Label, .position = {195, 7815, 10650, 390}},
});

constexpr std::size_t indexOf(Control control) { return static_cast<std::size_t>(control); }

// Throws std::out_of_range for a control the table lacks.
constexpr const ControlDescription& descriptionOf(Control control) { return kControls.at(indexOf(control)); }

// The control's position in twips relative to the window's client area.
constexpr Twips positionInWindow(Control control) {
    const ControlDescription& description = descriptionOf(control);
    if (!description.inFrame) return description.position;
    const Twips frame = descriptionOf(Control::fraUndo).position;
    return {frame.left + description.position.left, frame.top + description.position.top, description.position.width,
            description.position.height};
}

constexpr bool describedInTheirOrder() {
    for (std::size_t index = 0; index < kControls.size(); ++index) {
        if (indexOf(kControls[index].control) != index) return false;
    }
    return true;
}
static_assert(describedInTheirOrder(), "each control's description stands at its place in the enumeration");

}  // namespace app

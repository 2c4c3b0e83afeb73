#include "app/win32/Layout.h"

#include <stdexcept>
#include <string>

namespace app::win32 {

const std::array<ControlLayout, 18> kControls{{
    {kLblHeader, ControlKind::Label, "Adress-Import", {120, 120, 6720, 405}, 0, true, false, FontKind::Heading},
    // The source row's caption is wide enough for the system's dialog font, which is wider than
    // "MS Sans Serif"; the folder button moves right into the gap before the text box to make room.
    {kLabel0,
     ControlKind::Label,
     "ADR-Verzeichnis auswählen (Quelle):",
     {120, 540, 2985, 360},
     4,
     true,
     false,
     FontKind::Standard},
    {kCmdOpen, ControlKind::PictureButton, "", {3120, 480, 435, 320}, 7, true, false, FontKind::Standard},
    {kTxtADR, ControlKind::TextBox, "", {3600, 450, 7170, 360}, 3, true, false, FontKind::Standard},
    {kLabel1, ControlKind::Label, "Datenpool (Ziel):", {150, 915, 1410, 315}, 5, true, false, FontKind::Standard},
    {kLblDatenpool, ControlKind::TargetLabel, "", {3600, 855, 7245, 360}, 6, true, false, FontKind::Standard},
    {kScrFortschritt, ControlKind::ProgressBar, "", {180, 1545, 10590, 375}, 2, true, false, FontKind::Standard},
    {kCmdStart, ControlKind::Button, "Konvertieren", {9405, 2025, 1335, 375}, 1, true, false, FontKind::Standard},
    {kLblListenkommentar, ControlKind::Label, "", {195, 2130, 7155, 330}, 9, true, false, FontKind::ListComment},
    {kLstImport, ControlKind::ListBox, "", {240, 2535, 10635, 3960}, 8, true, false, FontKind::Standard},
    {kCmdAdressen, ControlKind::Button, "Adressliste", {300, 6660, 1935, 360}, 11, true, false, FontKind::Standard},
    {kFraUndo, ControlKind::Frame, "Letzter Import", {3705, 6615, 3240, 1110}, 12, true, false, FontKind::Standard},
    {kLabel2, ControlKind::Label, "IDs", {255, 345, 360, 240}, 13, true, true, FontKind::Standard},
    {kTxtIDVon, ControlKind::TextBox, "", {735, 315, 765, 285}, 14, true, true, FontKind::Standard},
    {kLabel3, ControlKind::Label, "bis", {1755, 345, 360, 240}, 15, true, true, FontKind::Standard},
    {kTxtIdBis, ControlKind::TextBox, "", {2370, 345, 765, 285}, 16, true, true, FontKind::Standard},
    {kCmdUndo,
     ControlKind::Button,
     "importierte Adressen wieder löschen",
     {195, 705, 2955, 285},
     17,
     false,
     true,
     FontKind::Standard},
    {kCmdImport, ControlKind::Button, "importieren", {9360, 6720, 1485, 390}, 10, false, false, FontKind::Standard},
}};

const ControlLayout& specOf(int id) {
    for (const ControlLayout& layout : kControls) {
        if (layout.id == id) return layout;
    }
    throw std::out_of_range("no control with id " + std::to_string(id));
}

Twips positionInWindow(const ControlLayout& layout) {
    if (!layout.inFrame) return layout.position;
    const Twips frame = specOf(kFraUndo).position;
    return {frame.left + layout.position.left, frame.top + layout.position.top, layout.position.width,
            layout.position.height};
}

int twipsToPixels(int twips, int dotsPerInch) {
    const long long scaled = static_cast<long long>(twips) * dotsPerInch;
    return static_cast<int>((scaled + (scaled >= 0 ? 720 : -720)) / 1440);
}

int idOf(Control control) {
    switch (control) {
        case Control::txtADR: return kTxtADR;
        case Control::lblDatenpool: return kLblDatenpool;
        case Control::scrFortschritt: return kScrFortschritt;
        case Control::cmdStart: return kCmdStart;
        case Control::lblListenkommentar: return kLblListenkommentar;
        case Control::lstImport: return kLstImport;
        case Control::cmdAdressen: return kCmdAdressen;
        case Control::cmdOpen: return kCmdOpen;
        case Control::cmdImport: return kCmdImport;
        case Control::cmdUndo: return kCmdUndo;
        case Control::txtIDVon: return kTxtIDVon;
        case Control::txtIdBis: return kTxtIdBis;
    }
    throw std::out_of_range("unknown control");
}

std::optional<Control> controlOf(int id) {
    for (const Control control :
         {Control::txtADR, Control::lblDatenpool, Control::scrFortschritt, Control::cmdStart,
          Control::lblListenkommentar, Control::lstImport, Control::cmdAdressen, Control::cmdOpen, Control::cmdImport,
          Control::cmdUndo, Control::txtIDVon, Control::txtIdBis}) {
        if (idOf(control) == id) return control;
    }
    return std::nullopt;
}

}  // namespace app::win32

// anschriftenwandler.exe: the window for interactive work, or, with an address number on the
// command line, the conversion of that one address without a window.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <filesystem>
#include <optional>

#include "app/BuildVersion.h"
#include "app/MainWindow.h"
#include "app/win32/CommandLine.h"
#include "app/win32/Win32View.h"
#include "db/OpenConnection.h"
#include "settings/OpenRegistry.h"
#include "text/Unicode.h"

namespace {

using app::Control;

void forwardClick(app::MainWindow& window, Control control) {
    switch (control) {
        case Control::cmdAdressen: window.cmdAdressen_Click(); break;
        case Control::cmdOpen: window.cmdOpen_Click(); break;
        case Control::cmdStart: window.cmdStart_Click(); break;
        case Control::cmdImport: window.cmdImport_Click(); break;
        case Control::cmdUndo: window.cmdUndo_Click(); break;
        case Control::cmdBericht: window.cmdBericht_Click(); break;
        default: break;
    }
}

void forwardTextChange(app::MainWindow& window, Control control) {
    if (control == Control::txtIDVon) window.txtIDVon_Change();
    if (control == Control::txtIdBis) window.txtIdBis_Change();
}

int runProgram(HINSTANCE instance, int showCommand) {
    app::win32::Win32View view(instance);
    const auto registry = settings::openRegistry(std::nullopt);
    app::MainWindow window(view, *registry, db::openConnection, app::kBuildVersion);
    view.onClick = [&](Control control) { forwardClick(window, control); };
    view.onTextChanged = [&](Control control) { forwardTextChange(window, control); };
    view.onCancel = [&] { window.cancelConversion(); };

    const std::string commandLine = text::fromWide(app::win32::argumentsOf(GetCommandLineW()));
    if (!window.Form_Load(commandLine)) return window.singleAddressExitCode();
    std::error_code noTemporaryDirectory;
    window.keepRunReports(std::filesystem::temp_directory_path(noTemporaryDirectory));
    return view.run(showCommand);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    // The shell's folder dialog needs COM on this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    try {
        return runProgram(instance, showCommand);
    } catch (const std::exception& error) {
        // Only what keeps the program from starting at all comes here (no window, a broken settings file).
        MessageBoxW(nullptr, text::toWide(error.what()).c_str(), text::toWide(app::kApplicationTitle).c_str(),
                    MB_ICONSTOP);
        return 1;
    }
}

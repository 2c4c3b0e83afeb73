#pragma once
// The window's logic on the console: the settings store, a ConsoleView and app::MainWindow,
// started as the window starts. The commands that need the settings (convert without
// --adr/--db, import, undo) run through it, so that they behave as the window does.

#include <memory>
#include <optional>
#include <string>

#include "app/MainWindow.h"
#include "app/cli/ConsoleView.h"
#include "settings/RegistryApi.h"

namespace cli {

class WindowSession {
public:
    // registryFile: --registry; target: --db (a Datenpool file or a connection string) in
    // place of the stored connection keywords. Throws what opening the settings throws, and
    // UsageError for an empty or blank target.
    WindowSession(const std::optional<std::string>& registryFile, std::optional<std::string> target, Answers answers);

    // Start-up as the window does it; false (with the reason shown) when the Datenpool cannot
    // take a conversion: no connection, no staging table, or it takes no writes.
    bool start();

    ConsoleView& view() { return view_; }
    app::MainWindow& window() { return *window_; }

private:
    std::unique_ptr<settings::RegistryApi> registry_;
    ConsoleView view_;
    std::unique_ptr<app::MainWindow> window_;
};

}  // namespace cli

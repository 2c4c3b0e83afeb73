// The window program wherever it lies: the build's, or the one an office installed from the
// package (scripts/test-install-windows.sh names it in ANSCHRIFTENWANDLER_E2E_PROGRAM). On a
// machine where the law-office system is set up, it opens with its version in the caption and
// ends when closed.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "app/win32/Layout.h"
#include "db/sqlite/SqliteConnection.h"
#include "e2e/Profile.h"
#include "e2e/RemoteWindow.h"
#include "support/TempDir.h"

namespace {

using namespace std::chrono_literals;

std::string programPath() {
    const char* installed = std::getenv("ANSCHRIFTENWANDLER_E2E_PROGRAM");
    return installed != nullptr && *installed != 0 ? installed : WINDOW_PATH;
}

TEST(InstalledWindow, OpensWithTheVersionInItsCaptionAndEndsWhenClosed) {
    testing_support::TempDir dir;
    const std::string pool = std::filesystem::path(dir.file("Datenpool.sqlite")).make_preferred().string();
    db::SqliteConnection::create(pool);
    e2e::writeProfile("Anschriftenwandler-Installiert", {{"Provider", "SQLite"}, {"Data Source", pool}}, {});

    e2e::RunningProgram program("\"" + std::filesystem::path(programPath()).make_preferred().string() + "\"");
    const HWND window =
        e2e::waitForWindow(program.id(), app::win32::kWindowClass, app::win32::idOf(app::Control::cmdImport), 60s);
    ASSERT_NE(window, nullptr) << programPath() << ": no window appeared";
    EXPECT_EQ(e2e::textOf(window), "Norvel-Kanzleisoftware - Adressimport (" + std::string(PROJECT_VERSION) + ") ");
    EXPECT_FALSE(e2e::openDialog(program.id())) << "a message box opened with the window";

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(60s), std::optional<DWORD>(0));
}

}  // namespace

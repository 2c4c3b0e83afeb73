// The folder picker on the virtual desktop of the window tests: the dialog is opened on a
// start folder, found as the other thread's #32770 window, and confirmed or cancelled.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/BrowseForFolder.h"

namespace {

struct Shown {
    std::string text;
    int style;
    std::string title;
};

struct Picking {
    Picking() = default;
    Picking(Picking&& other) noexcept
        : threadId(other.threadId.load()), result(std::move(other.result)), messages(std::move(other.messages)) {}

    std::atomic<DWORD> threadId{0};
    std::string result;
    std::vector<Shown> messages;
};

HWND visibleDialogOf(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM data) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
            *reinterpret_cast<HWND*>(data) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND waitForDialog(const Picking& picking) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (const DWORD id = picking.threadId.load()) {
            if (HWND dialog = visibleDialogOf(id)) return dialog;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

bool hasChildWithText(HWND dialog, const std::wstring& text) {
    struct Search {
        std::wstring text;
        bool found = false;
    } search{text};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            auto& wanted = *reinterpret_cast<Search*>(data);
            wchar_t buffer[256] = {};
            GetWindowTextW(child, buffer, 256);
            wanted.found = wanted.found || wanted.text == buffer;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text of the folder selected in the dialog's tree.
std::wstring selectedFolder(HWND dialog) {
    HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
    if (tree == nullptr) return L"(kein Baum)";
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    wchar_t text[MAX_PATH] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

// Opens the picker on another thread and lets answer act on its dialog.
template <class Answer>
Picking pick(const std::string& startFolder, Answer&& answer) {
    Picking picking;
    std::thread browsing([&] {
        picking.threadId = GetCurrentThreadId();
        picking.result = app::win32::BrowseForFolder("ADR-Verzeichnis", startFolder,
                                                     [&](const std::string& text, int style, const std::string& title) {
                                                         picking.messages.push_back({text, style, title});
                                                     });
    });
    HWND dialog = waitForDialog(picking);
    EXPECT_NE(dialog, nullptr) << "no folder dialog appeared";
    if (dialog != nullptr) {
        answer(dialog);
    } else if (const DWORD id = picking.threadId.load()) {
        PostThreadMessageW(id, WM_QUIT, 0, 0);
    }
    browsing.join();
    return picking;
}

void press(HWND dialog, int button) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }

TEST(FolderPicker, OpensOnTheStartFolderAndAnswersTheChosenPath) {
    const Picking picking = pick("C:\\windows", [](HWND dialog) {
        EXPECT_TRUE(hasChildWithText(dialog, L"ADR-Verzeichnis")) << "the title is the instruction above the tree";
        EXPECT_EQ(selectedFolder(dialog), L"windows");
        press(dialog, IDOK);
    });
    EXPECT_EQ(picking.result, "C:\\windows");
    EXPECT_TRUE(picking.messages.empty());
}

TEST(FolderPicker, TheRootOfADriveComesBackWithoutItsBackslash) {
    const Picking picking = pick("C:\\", [](HWND dialog) { press(dialog, IDOK); });
    EXPECT_EQ(picking.result, "C:");
}

TEST(FolderPicker, CancellingAnswersTheEmptyText) {
    const Picking picking = pick("C:\\windows", [](HWND dialog) { press(dialog, IDCANCEL); });
    EXPECT_EQ(picking.result, "");
    EXPECT_TRUE(picking.messages.empty());
}

}  // namespace

#include "app/win32/BrowseForFolder.h"

#include <shlobj.h>

#include <stdexcept>
#include <system_error>

#include "app/Texts.h"
#include "text/Unicode.h"

namespace app::win32 {

namespace {

constexpr int kExclamation = 48;

// The wide functions are used so that any folder name comes back exactly; the chosen path
// goes into the directory field, not straight into the registry.
std::wstring wide(const std::string& utf8) {
    const std::u16string units = text::utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string narrow(const std::wstring& text) {
    const auto utf8 = text::utf16ToUtf8(std::u16string(text.begin(), text.end()));
    if (!utf8) throw std::runtime_error(std::string(app::texts::kPathNotText));
    return *utf8;
}

// COM for the dialog, on this thread for the time of one call.
class ComApartment {
public:
    ComApartment() {
        const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (result == RPC_E_CHANGED_MODE) return;  // already initialised otherwise; the dialog copes
        if (FAILED(result)) throw std::system_error(result, std::system_category());
        initialised_ = true;
    }
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_ = false;
};

}  // namespace

std::string BrowseForFolder(const std::string& title, const std::string& startFolder, const ShowMessage& showMessage) {
    PIDLIST_ABSOLUTE items = nullptr;
    std::string chosen;
    try {
        const ComApartment com;
        const std::wstring instruction = wide(title);
        const std::wstring start = wide(startFolder);
        BROWSEINFOW description{};
        description.hwndOwner = nullptr;
        description.pidlRoot = nullptr;
        description.pszDisplayName = nullptr;
        description.lpszTitle = instruction.c_str();
        description.ulFlags = BIF_RETURNONLYFSDIRS;
        description.lpfn = BrowseCallback;
        description.lParam = reinterpret_cast<LPARAM>(start.c_str());
        items = SHBrowseForFolderW(&description);

        std::wstring path(MAX_PATH + 1, L'\0');
        if (items != nullptr && SHGetPathFromIDListW(items, path.data())) {
            path.resize(path.find(L'\0'));
            if (!path.empty() && path.back() == L'\\') path.pop_back();
            chosen = narrow(path);
        }
    } catch (const std::exception& error) {
        showMessage(error.what(), kExclamation, title + " " + startFolder);
        chosen.clear();
    }
    CoTaskMemFree(items);
    return chosen;
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM /*parameter*/, LPARAM data) {
    if (message == BFFM_INITIALIZED) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

}  // namespace app::win32

#include "app/win32/SaveReportDialog.h"

#include <commdlg.h>

#include <vector>

#include "app/Texts.h"
#include "review/TableWriter.h"
#include "text/Unicode.h"

namespace app::win32 {

namespace {

// The types in the order of the dialog's filter, counted from 1 as nFilterIndex is.
constexpr const char* kEndings[] = {".xlsx", ".csv"};

std::wstring filterOf() {
    std::wstring filter;
    const auto add = [&](std::string_view name, const wchar_t* pattern) {
        filter += text::toWide(std::string(name));
        filter += L'\0';
        filter += pattern;
        filter += L'\0';
    };
    add(texts::kWorkbookFileType, L"*.xlsx");
    add(texts::kCsvFileType, L"*.csv");
    return filter;  // the std::wstring's own terminator ends the list
}

}  // namespace

std::string saveReportAs(HWND owner, const std::string& title, const std::string& suggestedName) {
    const std::wstring filter = filterOf();
    const std::wstring wideTitle = text::toWide(title);
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring suggested = text::toWide(suggestedName);
    suggested.copy(file.data(), std::min(suggested.size(), file.size() - 1));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = wideTitle.c_str();
    // The dialog puts the type's ending to a name typed without one, so that it can ask before
    // it replaces a file of that name.
    dialog.lpstrDefExt = L"xlsx";
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return {};
    std::string chosen = text::fromWide(file.data());
    // A name that ends otherwise gets the ending of the type chosen.
    if (!review::tableFormatOf(chosen)) {
        const DWORD index =
            dialog.nFilterIndex >= 1 && dialog.nFilterIndex <= std::size(kEndings) ? dialog.nFilterIndex : 1;
        chosen += kEndings[index - 1];
    }
    return chosen;
}

}  // namespace app::win32

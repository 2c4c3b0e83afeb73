#pragma once
// The save dialog of a conversion's report: Windows' own, a workbook by default, CSV too.

#include <windows.h>

#include <string>

namespace app::win32 {

// The path chosen, ending as the type chosen asks (".xlsx" or ".csv"), or the empty text when
// the dialog was cancelled. suggestedName: the file name offered, without its ending.
std::string saveReportAs(HWND owner, const std::string& title, const std::string& suggestedName);

}  // namespace app::win32

#pragma once
// The folder picker: the shell's folder-browse dialog, opened on a start folder. Windows only.

#include <functional>
#include <string>

#include <windows.h>

namespace app::win32 {

// Shows a message box (text, style, title); the window passes its own, tests record.
using ShowMessage = std::function<void(const std::string& text, int style, const std::string& title)>;

// The chosen folder's path (UTF-8) without a trailing backslash ("C:" for the root of drive
// C), or the empty text when the user cancels or chooses no file-system folder. title is
// shown above the folder tree. Any other failure is shown through showMessage with the
// exclamation icon (48), titled with the title, a blank and the start folder; the result is
// then the empty text.
std::string BrowseForFolder(const std::string& title, const std::string& startFolder, const ShowMessage& showMessage);

// The dialog's callback: once the dialog is initialised it selects the start folder (the
// caller data, a path). Answers 0 to every message.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM parameter, LPARAM data);

}  // namespace app::win32

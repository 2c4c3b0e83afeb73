#pragma once
// What the window asks of Windows besides the window itself: file existence, starting a
// program, the user's digit grouping.

#include <string>

namespace app::win32 {

// True for an existing file; a folder of that name is no file.
bool fileExists(const std::string& path);
// Starts the command line in a normal window with the focus and returns at once. Answers the
// system's text for the failure, empty on success.
std::string startProgram(const std::string& commandLine);
// Opens a document with the program Windows associates with it. Answers the system's text for
// the failure, empty on success.
std::string openDocument(const std::string& path);
// LOCALE_STHOUSAND of the user's default locale.
std::string groupSeparator();
// The system's text for an error code, without the line break at its end.
std::string systemMessage(unsigned long errorCode);

}  // namespace app::win32

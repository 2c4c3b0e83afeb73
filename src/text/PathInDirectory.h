#pragma once
// A name inside a directory that the user gave (the ADR directory, the main application's root
// directory), joined the way the directory is written, so that a message names the file as the
// user would type it: "C:\RA-MICRO\ADR" and "02A" give "C:\RA-MICRO\ADR\02A", "/srv/adr" gives
// "/srv/adr/02A". Both separators open the file on Windows.

#include <string>

namespace text {

// Whether "\" separates the names of a path, as on Windows, or is a character of a name, as on
// Linux, where a directory's own name may hold one.
enum class Backslash { partOfAName, separator };

#ifdef _WIN32
inline constexpr Backslash kBackslash = Backslash::separator;
#else
inline constexpr Backslash kBackslash = Backslash::partOfAName;
#endif

// Joined with "\" when the directory has no "/" and starts with a drive ("X:") or with "\\" (a
// share), or holds a "\" where that separates; with "/" otherwise. A directory that already ends
// in its separator gets no second one.
std::string pathInDirectory(const std::string& directory, const std::string& name, Backslash backslash = kBackslash);

}  // namespace text

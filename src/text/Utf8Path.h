#pragma once
// Paths are held as UTF-8 text inside the program; the file system takes them as its own path
// type, which on Windows is UTF-16. These two convert, whatever the locale's narrow encoding.

#include <filesystem>
#include <string>

namespace text {

std::filesystem::path pathOf(const std::string& utf8);
std::string utf8Of(const std::filesystem::path& path);

}  // namespace text

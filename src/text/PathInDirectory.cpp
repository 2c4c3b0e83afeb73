#include "text/PathInDirectory.h"

namespace text {

namespace {

bool startsWithDrive(const std::string& path) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return path.size() >= 2 && letter(path[0]) && path[1] == ':';
}

bool writtenTheWindowsWay(const std::string& directory, Backslash backslash) {
    if (directory.find('/') != std::string::npos) return false;
    return startsWithDrive(directory) || directory.starts_with("\\\\") ||
           (backslash == Backslash::separator && directory.find('\\') != std::string::npos);
}

}  // namespace

std::string pathInDirectory(const std::string& directory, const std::string& name, Backslash backslash) {
    const char separator = writtenTheWindowsWay(directory, backslash) ? '\\' : '/';
    if (!directory.empty() && directory.back() == separator) return directory + name;
    return directory + separator + name;
}

}  // namespace text

#pragma once
// The full path of a Datenpool file, as a recorded import names it: absolute, with links and
// "." or ".." resolved as far as the file exists, so that two spellings of one file are one.

#include <string>

namespace db {

// path and the answer are UTF-8.
std::string fullPath(const std::string& path);

}  // namespace db

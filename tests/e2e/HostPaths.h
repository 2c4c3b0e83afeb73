#pragma once
// Paths between the host and the programs under test. Under Wine the host is Unix: kernel32's
// wine_get_unix_file_name and wine_get_dos_file_name convert; on Windows a path stays as it is.

#include <string>

namespace e2e {

// The path as the host's programs (the ODBC driver) open it.
std::string hostPathOf(const std::string& windowsPath);
// The path as Windows programs open it.
std::string windowsPathOf(const std::string& hostPath);

}  // namespace e2e

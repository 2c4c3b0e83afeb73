#pragma once
// A host path as Windows programs open it. Under Wine the host is Unix: kernel32's
// wine_get_dos_file_name converts (testing_support::hostPath goes the other way); on Windows a
// path stays as it is.

#include <string>

namespace e2e {

std::string windowsPathOf(const std::string& hostPath);

}  // namespace e2e

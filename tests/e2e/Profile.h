#pragma once
// The law-office system's settings as the program reads them from HKEY_CURRENT_USER: the
// current database profile, its connection keywords and the tool's own values.

#include <string>
#include <utility>
#include <vector>

namespace e2e {

// Makes profile the current one with exactly these connection keywords and tool values;
// whatever the profile held before is removed.
void writeProfile(const std::string& profile, const std::vector<std::pair<std::string, std::string>>& connection,
                  const std::vector<std::pair<std::string, std::string>>& toolValues);
// A tool value of the profile; empty when missing.
std::string toolValue(const std::string& profile, const std::string& name);

}  // namespace e2e

#pragma once
// The commands of anschriftenwandler-cli. Each answers the exit code: 0 the command ran
// (problems with single records were reported as messages), 1 it could not run, 2 bad usage.

#include <string>
#include <vector>

namespace cli {

int initDb(const std::vector<std::string>& words);
int convert(const std::vector<std::string>& words);
int convertOne(const std::vector<std::string>& words);

}  // namespace cli

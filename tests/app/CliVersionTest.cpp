// The version the command-line tool reports: the one the project is built as, which the
// window's caption, the executables' version resources and the package names carry too.

#include <gtest/gtest.h>

#include "support/RunCli.h"
#include "support/TempDir.h"

namespace {

TEST(CliVersion, NamesTheProjectVersionOnStdout) {
    testing_support::TempDir dir;
    const testing_support::CliRun run = testing_support::runCli({"--version"}, dir.path().string());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, std::string("anschriftenwandler-cli ") + PROJECT_VERSION + "\n");
    EXPECT_EQ(run.err, "");
}

TEST(CliVersion, IsListedInTheHelp) {
    testing_support::TempDir dir;
    const testing_support::CliRun run = testing_support::runCli({"--help"}, dir.path().string());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("--version"), std::string::npos) << run.out;
}

}  // namespace

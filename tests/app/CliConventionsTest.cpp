// What people type by habit works as they expect: the version the tool reports (the one the
// project is built as, which the window's caption, the version resources and the package names
// carry too), "--" and "--opt=value", a repeated option refused, and a help or version text
// that cannot be written reported as a failure.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/RunCli.h"
#include "support/TempDir.h"

namespace {

using testing_support::CliRun;
using testing_support::runCli;

TEST(CliConventions, VersionIsTheProjectsAndListedInTheHelp) {
    testing_support::TempDir dir;
    const CliRun version = runCli({"--version"}, dir.path().string());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("anschriftenwandler-cli ") + PROJECT_VERSION + "\n");
    EXPECT_EQ(version.err, "");

    const CliRun help = runCli({"--help"}, dir.path().string());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
}

TEST(CliConventions, DoubleDashEndsTheOptionsAndOptEqualsValueIsOptValue) {
    testing_support::TempDir dir;
#ifdef _WIN32
    const std::string inDir = "cd /d " + testing_support::quoted(dir.path().string()) + " && ";
#else
    const std::string inDir = "cd " + testing_support::quoted(dir.path().string()) + " && ";
#endif
    const CliRun created = runCli({"init-db", "--", "-x.sqlite"}, dir.path().string(), inDir);
    EXPECT_EQ(created.exitCode, 0) << created.err;
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "-x.sqlite"));

    const std::string db = (dir.path() / "-x.sqlite").string();
    const CliRun exported = runCli({"export", "--db=" + db, "--table=Adressen", "--format=jsonl"}, dir.path().string());
    EXPECT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(exported.out, "") << "an empty table in JSON Lines is no line at all";
}

TEST(CliConventions, ARepeatedOptionOrAValueForAFlagIsBadUsage) {
    testing_support::TempDir dir;
    const std::string db = (dir.path() / "a.sqlite").string();
    ASSERT_EQ(runCli({"init-db", db}, dir.path().string()).exitCode, 0);

    const CliRun twice = runCli({"export", "--db", db, "--db=" + db + "x"}, dir.path().string());
    EXPECT_EQ(twice.exitCode, 2);
    EXPECT_NE(twice.err.find("Die Option --db ist mehrfach angegeben."), std::string::npos) << twice.err;

    const CliRun flagged = runCli({"undo", "--db", db, "--yes=nein"}, dir.path().string());
    EXPECT_EQ(flagged.exitCode, 2);
    EXPECT_NE(flagged.err.find("Die Option --yes nimmt keinen Wert."), std::string::npos) << flagged.err;
}

#ifndef _WIN32
TEST(CliConventions, HelpOrVersionThatCannotBeWrittenFails) {
    for (const char* words : {"--help", "--version", "export --help"}) {
        const std::string command = testing_support::quoted(CLI_PATH) + " " + words + " >/dev/full 2>/dev/null";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << words;
        EXPECT_EQ(WEXITSTATUS(status), 1) << words;
    }
}
#endif

}  // namespace

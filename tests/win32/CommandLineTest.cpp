// The command line the window's start-up receives: everything after the program name.

#include <gtest/gtest.h>

#include "app/win32/CommandLine.h"

namespace {

using app::win32::argumentsOf;

TEST(CommandLine, WithoutArgumentsIsEmpty) {
    EXPECT_EQ(argumentsOf(L"anschriftenwandler.exe"), L"");
    EXPECT_EQ(argumentsOf(L"\"C:\\Programme\\Norvel Kanzlei\\anschriftenwandler.exe\""), L"");
    EXPECT_EQ(argumentsOf(L"anschriftenwandler.exe   \t "), L"");
    EXPECT_EQ(argumentsOf(L""), L"");
}

TEST(CommandLine, IsTheTextAfterTheProgramNameAsAWhole) {
    EXPECT_EQ(argumentsOf(L"anschriftenwandler.exe 4711"), L"4711");
    EXPECT_EQ(argumentsOf(L"anschriftenwandler.exe\t4711"), L"4711");
    EXPECT_EQ(argumentsOf(L"anschriftenwandler.exe   47 11 "), L"47 11 ");
    EXPECT_EQ(argumentsOf(L"anschriftenwandler.exe \"4711\""), L"\"4711\"");
}

TEST(CommandLine, BlanksInsideQuotesBelongToTheProgramName) {
    EXPECT_EQ(argumentsOf(L"\"C:\\Program Files\\anschriftenwandler.exe\" 4711"), L"4711");
    EXPECT_EQ(argumentsOf(L"C:\\\"Program Files\"\\anschriftenwandler.exe 4711"), L"4711");
    EXPECT_EQ(argumentsOf(L"\"C:\\Program Files\\anschriftenwandler.exe\"4711"), L"");
}

}  // namespace

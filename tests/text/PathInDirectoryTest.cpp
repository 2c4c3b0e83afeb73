// A name inside a directory the user gave is joined the way the directory is written: with "\"
// for a Windows directory, with "/" for any other, so that messages name files as the user
// types them and the file opens on both systems.

#include <gtest/gtest.h>

#include "text/PathInDirectory.h"

namespace {

using text::Backslash;
using text::pathInDirectory;

TEST(PathInDirectory, ADriveOrAShareTakesABackslashOnEveryBuildAnyOtherDirectoryTheSlash) {
    EXPECT_EQ(pathInDirectory("C:\\RA-MICRO\\ADR", "02A"), "C:\\RA-MICRO\\ADR\\02A");
    EXPECT_EQ(pathInDirectory("c:\\Programme\\Norvel", "kov.exe"), "c:\\Programme\\Norvel\\kov.exe");
    EXPECT_EQ(pathInDirectory("\\\\kanzlei-server\\daten\\ADR", "45A"), "\\\\kanzlei-server\\daten\\ADR\\45A");
    EXPECT_EQ(pathInDirectory("D:", "01A"), "D:\\01A") << "the drive's root, as with a slash before";

    EXPECT_EQ(pathInDirectory("/srv/kanzlei/ADR", "02A"), "/srv/kanzlei/ADR/02A");
    EXPECT_EQ(pathInDirectory("C:/RA-MICRO/ADR", "02A"), "C:/RA-MICRO/ADR/02A");
    EXPECT_EQ(pathInDirectory("C:\\RA-MICRO/ADR", "02A"), "C:\\RA-MICRO/ADR/02A") << "written both ways";
    EXPECT_EQ(pathInDirectory("ADR", "02A"), "ADR/02A");
    EXPECT_EQ(pathInDirectory("", "kov.exe"), "/kov.exe") << "no root directory: the root of the current drive";
}

// On Linux a backslash belongs to the directory's name: "Akten\ADR" is one directory there.
TEST(PathInDirectory, AnyOtherBackslashSeparatesOnlyWhereTheSystemSaysSo) {
    EXPECT_EQ(pathInDirectory("Akten\\ADR", "02A", Backslash::partOfAName), "Akten\\ADR/02A");
    EXPECT_EQ(pathInDirectory("Akten\\ADR", "02A", Backslash::separator), "Akten\\ADR\\02A");
    EXPECT_EQ(pathInDirectory("\\RA-MICRO\\ADR", "02A", Backslash::separator), "\\RA-MICRO\\ADR\\02A");
#ifdef _WIN32
    EXPECT_EQ(pathInDirectory("Akten\\ADR", "02A"), "Akten\\ADR\\02A");
#else
    EXPECT_EQ(pathInDirectory("Akten\\ADR", "02A"), "Akten\\ADR/02A");
#endif
}

// A folder picker hands out a drive's root with its backslash.
TEST(PathInDirectory, ADirectoryEndingInItsSeparatorGetsNoSecondOne) {
    EXPECT_EQ(pathInDirectory("D:\\", "01A"), "D:\\01A");
    EXPECT_EQ(pathInDirectory("C:\\RA-MICRO\\ADR\\", "01A"), "C:\\RA-MICRO\\ADR\\01A");
    EXPECT_EQ(pathInDirectory("/srv/ADR/", "01A"), "/srv/ADR/01A");
    EXPECT_EQ(pathInDirectory("/", "01A"), "/01A");
    EXPECT_EQ(pathInDirectory("Akten\\", "01A", Backslash::partOfAName), "Akten\\/01A");
}

}  // namespace

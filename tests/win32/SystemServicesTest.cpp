// What the window asks of Windows besides the window: UTF-16 texts, files, programs, locale.

#include <gtest/gtest.h>

#include <windows.h>

#include "app/win32/SystemServices.h"
#include "app/win32/Win32View.h"
#include "support/TempDir.h"
#include "text/Unicode.h"

namespace {

using namespace app::win32;

TEST(Utf16, TextsCrossBothWaysUnchanged) {
    const std::string text = "Müller & Söhne, 1.234 € \xF0\x9F\x98\x80";  // a character beyond the BMP too
    const std::wstring wide = text::toWide(text);
    EXPECT_EQ(wide, L"M\u00fcller & S\u00f6hne, 1.234 \u20ac \xD83D\xDE00");
    EXPECT_EQ(text::fromWide(wide), text);
    EXPECT_EQ(text::toWide(""), L"");
    EXPECT_EQ(text::fromWide(L""), "");
}

TEST(MessageBoxStyle, EachKindHasTheStyleItsTextsName) {
    EXPECT_EQ(Win32View::styleOf(app::MessageKind::plain), 0u);
    EXPECT_EQ(Win32View::styleOf(app::MessageKind::warning), 48u);
    EXPECT_EQ(Win32View::styleOf(app::MessageKind::information), 64u);
    EXPECT_EQ(Win32View::styleOf(app::MessageKind::question), 35u);
    EXPECT_EQ(Win32View::styleOf(app::MessageKind::confirmation), 273u);
    EXPECT_EQ(Win32View::styleOf(app::MessageKind::yesNoQuestion), 292u) << "Yes/No, question icon, No the default";
    EXPECT_EQ(Win32View::styleOf(app::MessageKind::onlyNewChoice), 35u) << "Yes/No/Cancel, question icon";
}

TEST(FileExists, OnlyForAFile) {
    testing_support::TempDir dir;
    const std::string file = dir.write("01A", "1*\r");
    EXPECT_TRUE(fileExists(file));
    EXPECT_FALSE(fileExists(dir.path().string())) << "a folder is no file";
    EXPECT_FALSE(fileExists(dir.file("02A")));
    EXPECT_TRUE(fileExists(dir.path().string() + "/01A")) << "a forward slash as separator";
}

TEST(StartProgram, StartsWithoutWaitingOrAnswersTheSystemsText) {
    EXPECT_EQ(startProgram("cmd.exe /c exit 0"), "");
    const std::string failure = startProgram("\"C:/kein Verzeichnis/kov.exe\" Adressliste gesamt");
    EXPECT_TRUE(failure == systemMessage(ERROR_PATH_NOT_FOUND) || failure == systemMessage(ERROR_FILE_NOT_FOUND))
        << failure;
    EXPECT_NE(failure.back(), '\n');
}

TEST(GroupSeparator, IsTheDotOfAGermanUser) {
    if (GetUserDefaultLCID() != 0x0407) GTEST_SKIP() << "the user's locale is not de-DE";
    EXPECT_EQ(groupSeparator(), ".");
}

}  // namespace

#include <gtest/gtest.h>

#include "settings/AnsiCodePage.h"

namespace {

using namespace settings;

TEST(AnsiCodePage, EveryByteSurvivesTheWayThroughUtf8) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string ansi(1, static_cast<char>(byte));
        EXPECT_EQ(utf8ToAnsi(ansiToUtf8(ansi)), ansi) << byte;
    }
}

TEST(AnsiCodePage, MapsTheCharactersOfWindows1252) {
    EXPECT_EQ(ansiToUtf8("\x80\x84\x93\x96\x9A\xDF\xE4\xFF"), "€„“–šßäÿ");
    EXPECT_EQ(utf8ToAnsi("Müller – 5 €"), "M\xFCller \x96 5 \x80");
    EXPECT_EQ(ansiToUtf8("\x81"), "\xC2\x81") << "an unassigned byte stands for the control character";
}

TEST(AnsiCodePage, CharactersOutsideAndMalformedUtf8BecomeQuestionMarks) {
    EXPECT_EQ(utf8ToAnsi("Łódź"), "?\xF3" "d?");
    EXPECT_EQ(utf8ToAnsi("a\xC3"), "a?");
    EXPECT_EQ(utf8ToAnsi("\xF0\x9F\x98\x80!"), "?!");
}

}  // namespace

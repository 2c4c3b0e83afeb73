// The one conversion between UTF-8 and UTF-16: surrogate pairs, and what becomes of text that
// is not well formed.

#include <gtest/gtest.h>

#include <string>

#include "text/Characters.h"
#include "text/Unicode.h"

namespace {

// Decodes every character of units as the settings file's reader does, byte by byte.
std::u32string decodedAll(std::u16string_view units) {
    const auto unitAt = [&](std::size_t i) -> char32_t { return units[i]; };
    std::u32string out;
    for (std::size_t pos = 0; pos < units.size();) {
        char32_t c = 0;
        if (!text::decodeUtf16(unitAt, units.size(), pos, c)) return out + U"<unpaired>";
        out += c;
    }
    return out;
}

// Character positions count characters, not bytes, wherever the multibyte ones stand among
// long ASCII runs, and a stray continuation byte at the text's start counts as a character of
// its own.
TEST(Unicode, CharacterPositionsCountCharactersNotBytes) {
    const std::string s =
        "\x80"
        "Bankhaus Müller & Söhne GmbH   Köln      100200300 ß4711€" +
        std::string(20, 'x');
    std::size_t at = 0;  // byte offset of the k-th character, walked byte by byte
    for (std::size_t k = 0; k <= s.size() + 1; ++k) {
        EXPECT_EQ(text::byteOffset(s, k), at) << k;
        if (at < s.size()) {
            ++at;
            while (at < s.size() && (static_cast<unsigned char>(s[at]) & 0xC0u) == 0x80u) ++at;
        }
    }
    EXPECT_EQ(text::mid("Bankhaus Müller & Söhne GmbH Köln      10020030", 30, 4), "Köln");
}

TEST(Unicode, SurrogatePairsAreOneCharacter) {
    EXPECT_EQ(decodedAll(u"a\xD83D\xDE00z"), U"a\U0001F600z");
    EXPECT_EQ(text::utf8ToUtf16("\xF0\x9F\x98\x80"), u"\xD83D\xDE00");
    EXPECT_EQ(text::utf16ToUtf8(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
}

TEST(Unicode, UnpairedSurrogatesAreToldApart) {
    EXPECT_EQ(decodedAll(u"a\xD83D"), U"a<unpaired>") << "a high surrogate at the end";
    EXPECT_EQ(decodedAll(u"a\xD83Dz"), U"a<unpaired>") << "a high surrogate before a character";
    EXPECT_EQ(decodedAll(u"\xDE00"), U"<unpaired>") << "a low surrogate alone";
    EXPECT_FALSE(text::utf16ToUtf8(u"a\xDE00").has_value());
    EXPECT_EQ(text::utf16ToUtf8Replacing(u"a\xDE00\xD83D"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
}

// The check of whole texts accepts exactly the characters decoding accepts: every lead and
// second byte, with the bytes behind them continuing or not.
TEST(Unicode, CheckingATextAgreesWithDecodingIt) {
    const auto decodesWhole = [](const std::string& bytes) {
        std::size_t pos = 0;
        char32_t ignored = 0;
        while (pos < bytes.size()) {
            if (!text::decodeUtf8(bytes, pos, ignored)) return false;
        }
        return true;
    };
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int second = 0; second < 0x100; ++second) {
            for (const char rest : {'\x80', '\xBF', 'A'}) {
                for (std::size_t length = 2; length <= 4; ++length) {
                    std::string bytes{static_cast<char>(lead), static_cast<char>(second)};
                    bytes.resize(length, rest);
                    ASSERT_EQ(text::isUtf8(bytes), decodesWhole(bytes)) << lead << " " << second << " " << length;
                }
            }
        }
    }
}

TEST(Unicode, MalformedUtf8BecomesTheReplacementCharacter) {
    EXPECT_EQ(text::utf8ToUtf16("a\xC3"), u"a\xFFFD") << "cut off";
    EXPECT_EQ(text::utf8ToUtf16("\xC0\xAF"), u"\xFFFD\xFFFD") << "an overlong form";
    EXPECT_EQ(text::utf8ToUtf16("\xED\xA0\x80"), u"\xFFFD\xFFFD\xFFFD") << "a surrogate";
    EXPECT_EQ(text::utf8ToUtf16("Grüße"), u"Grüße");
    // Long runs of ASCII are passed over eight bytes at a time: a flaw at any place is found.
    const std::string ascii = "Hauptstrasse 12, 20095 Hamburg";
    for (std::size_t at = 0; at <= ascii.size(); ++at) {
        const std::string flawed = ascii.substr(0, at) + "\xC3" + ascii.substr(at);
        EXPECT_FALSE(text::isUtf8(flawed)) << at;
        EXPECT_EQ(text::replacingMalformedUtf8(flawed), ascii.substr(0, at) + "\xEF\xBF\xBD" + ascii.substr(at)) << at;
    }
    EXPECT_TRUE(text::isUtf8(ascii + ascii));
    // Within eight bytes that are not all ASCII as well, before and after other characters.
    const std::string mixed = "Bärbel ⏎ Größe 1 ⏎ 10115 Berlin";
    EXPECT_TRUE(text::isUtf8(mixed));
    for (std::size_t at = 0; at <= mixed.size(); ++at) {
        if (at < mixed.size() && (static_cast<unsigned char>(mixed[at]) & 0xC0) == 0x80) continue;
        const std::string flawed = mixed.substr(0, at) + "\xE2\x8F" + mixed.substr(at);
        EXPECT_EQ(text::replacingMalformedUtf8(flawed),
                  mixed.substr(0, at) + "\xEF\xBF\xBD\xEF\xBF\xBD" + mixed.substr(at))
            << at;
    }
}

#ifdef _WIN32
TEST(Unicode, WideTextOfTheWFunctionsIsUtf16) {
    EXPECT_EQ(text::toWide("Grüße \xF0\x9F\x98\x80"), L"Grüße \xD83D\xDE00");
    EXPECT_EQ(text::fromWide(L"Grüße \xD83D\xDE00"), "Grüße \xF0\x9F\x98\x80");
    EXPECT_EQ(text::fromWide(std::wstring(1, L'\xD83D')), "\xEF\xBF\xBD");
}
#endif

}  // namespace

// String data between the registry's UTF-16LE and the UTF-8 the program exchanges with it,
// and the buffer rules every backend answers with.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/RegistryData.h"

namespace {

using namespace settings;

Bytes bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes toUtf16(const std::string& utf8) {
    return utf16Data(reinterpret_cast<const std::uint8_t*>(utf8.data()), static_cast<std::uint32_t>(utf8.size()));
}

std::string toUtf8(const Bytes& stored) {
    const Bytes utf8 = utf8Data(stored);
    return std::string(utf8.begin(), utf8.end());
}

TEST(RegistryData, EveryCharacterSurvivesTheWayThroughUtf16) {
    for (const std::string& text : std::vector<std::string>{"€„“–šßäÿ", "Müller – 5 €", "\xC2\x81", "…/Łódź",
                                                            "\xF0\x9F\x98\x80!", std::string("a\0b\0", 4)}) {
        EXPECT_EQ(toUtf8(toUtf16(text)), text);
    }
    EXPECT_EQ(toUtf16("Łó"), (Bytes{0x41, 0x01, 0xF3, 0x00}));
    EXPECT_EQ(toUtf16("\xF0\x9F\x98\x80"), (Bytes{0x3D, 0xD8, 0x00, 0xDE})) << "a surrogate pair";
}

TEST(RegistryData, MalformedTextBecomesTheReplacementCharacter) {
    EXPECT_EQ(toUtf8(toUtf16("a\xC3")), "a\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(Bytes{0x3D, 0xD8, 'x', 0}), "\xEF\xBF\xBDx") << "an unpaired surrogate";
    EXPECT_EQ(toUtf8(Bytes{'a', 0, 'b'}), "a") << "an odd last byte";
}

TEST(RegistryData, OnlyStringTypesAreConverted) {
    const Bytes stored = toUtf16("Łódź");
    EXPECT_EQ(answeredForm(kRegSz, stored), bytes("Łódź"));
    EXPECT_EQ(answeredForm(kRegExpandSz, stored), bytes("Łódź"));
    EXPECT_EQ(answeredForm(kRegMultiSz, stored), bytes("Łódź"));
    EXPECT_EQ(answeredForm(kRegBinary, stored), stored);
    const Bytes raw{0xC5, 0x81};
    EXPECT_EQ(storedForm(kRegDword, raw.data(), 2), raw);
    EXPECT_EQ(storedForm(kRegSz, raw.data(), 2), (Bytes{0x41, 0x01}));
}

TEST(RegistryData, BuffersTooSmallAnswerTheSizeNeeded) {
    const Bytes data = bytes("Łódź");  // 7 bytes
    std::uint32_t size = 0;
    EXPECT_EQ(answerData(data, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(size, 7u);
    std::uint8_t buffer[8] = {};
    size = 6;
    EXPECT_EQ(answerData(data, buffer, &size), kErrorMoreData);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(buffer[0], 0) << "nothing is copied into a buffer that is too small";
    size = 8;
    EXPECT_EQ(answerData(data, buffer, &size), kErrorSuccess);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(Bytes(buffer, buffer + 7), data);

    char name[6];
    std::uint32_t nameSize = 5;  // "Łódź" needs 7 bytes and its NUL
    std::uint32_t type = 0;
    EXPECT_EQ(answerEnumerated("Łódź", kRegSz, data, name, &nameSize, &type, nullptr, nullptr), kErrorMoreData);
    nameSize = 6;
    EXPECT_EQ(answerEnumerated("Łód", kRegSz, data, name, &nameSize, &type, nullptr, nullptr), kErrorSuccess);
    EXPECT_EQ(std::string(name), "Łód");
    EXPECT_EQ(nameSize, 5u);
    EXPECT_EQ(type, kRegSz);
}

}  // namespace

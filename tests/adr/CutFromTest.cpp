// CutFrom: a sub-field cut out of a field text, marked ("ab" up to the end) or tagged
// ("<Kenn>…</Kenn>", which wins); the display helpers Nz and list; and the trim of the blanks
// around a cut.

#include <gtest/gtest.h>

#include <string>

#include "ValuePrinter.h"
#include "adr/TextHelpers.h"
#include "text/Characters.h"

namespace {

struct Cut {
    std::string text;
    const char* ab;
    const char* kenn;
    std::string result;
    std::string rest;
};

TEST(CutFrom, CutsTheFirstMarkedOrTaggedSubField) {
    const Cut cases[] = {
        {"Müller#Herrn", "#", "", "Herrn", "Müller"},
        {"a#b#c", "#", "", "b#c", "a"},
        {"vor<AD>Inhalt</AD>nach#x", "#", "AD", "Inhalt", "vornach#x"},
        {"vor<AD>Inhalt</AD>nach", "QXZJQXZ", "AD", "Inhalt", "vornach"},
        {"a<AD></AD>b", "QXZJQXZ", "AD", "", "ab"},
        {"x<AD>Inhalt#Rest", "#", "AD", "Rest", "x<AD>Inhalt"},
        {"</AD>a<AD>b#c", "#", "AD", "c", "</AD>a<AD>b"},
        {"</AD>a<AD>b</AD>#c", "#", "AD", "c", "</AD>a<AD>b</AD>"},
        {"<AD>a</AD><AD>b</AD>", "QXZJQXZ", "AD", "a", "<AD>b</AD>"},
        {"abc", "#", "", "", "abc"},
        {"abc", "QXZJQXZ", "AD", "", "abc"},
        {"Straße", "", "PL", "Straße", ""},
        {"", "", "PL", "", ""},
        {"a<>x</>b#c", "#", "", "x", "ab#c"},
        {"öäü·Sel", "·", "", "Sel", "öäü"},
        {"<ADx>a</ADx>#b", "#", "AD", "b", "<ADx>a</ADx>"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(adr::CutFrom(text, c.ab, c.kenn), c.result) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(DisplayHelpers, ListAddsItsFramesOnlyAroundText) {
    EXPECT_EQ(adr::list(db::Value(), ", Tel. : ", "!"), "");
    EXPECT_EQ(adr::list(db::Value(""), ", Tel. : ", "!"), "");
    EXPECT_EQ(adr::list(db::Value("030 1234"), ", Tel. : "), ", Tel. : 030 1234");
    EXPECT_EQ(adr::list(db::Value(4711.0), "(", ")"), "(4711)");
    EXPECT_EQ(adr::list(db::Value(" "), "<", ">"), "< >");
}

TEST(DisplayHelpers, NzReplacesOnlyNull) {
    EXPECT_EQ(adr::Nz(db::Value(), ""), db::Value(""));
    EXPECT_EQ(adr::Nz(db::Value(12.5), ""), db::Value(12.5));
    EXPECT_EQ(adr::Nz(db::Value(""), "x"), db::Value(""));
}

TEST(TrimSpaces, RemovesOnlyTheBlanksAroundATextWhetherViewedOrGivenUp) {
    for (const auto& [given, trimmed] : std::initializer_list<std::pair<std::string, std::string>>{
             {"  Gartenweg 66  ", "Gartenweg 66"},
             {"\tMüller ", "\tMüller"},
             {"   ", ""},
             {"", ""},
             {"x", "x"},
             {" eine Adresse, die länger ist als ein kurzer Text ",
              "eine Adresse, die länger ist als ein kurzer Text"}}) {
        EXPECT_EQ(text::trimSpaces(std::string_view(given)), trimmed) << given;
        EXPECT_EQ(text::trimSpaces(std::string(given)), trimmed) << given;
    }
}

}  // namespace

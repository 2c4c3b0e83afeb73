// Framing the lines of an address file: carriage returns, the end of the file, header lines
// and their address numbers, whatever block sizes the file arrives in.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MemoryFiles.h"
#include "adr/CharTable.h"
#include "adr/LineReader.h"
#include "text/Characters.h"

using namespace std::string_literals;

namespace {

struct Framed {
    std::string text;
    bool isHeader;
};

class LineFraming : public ::testing::TestWithParam<std::size_t> {
protected:
    std::vector<Framed> frame(const std::string& bytes) {
        adr_test::MemorySource source(bytes, GetParam());
        adr::LineReader reader(source);
        std::vector<Framed> lines;
        adr::Line line;
        while (reader.next(line)) lines.push_back({line.text, line.isHeader});
        return lines;
    }
    std::vector<std::string> texts(const std::string& bytes) {
        std::vector<std::string> result;
        for (const auto& line : frame(bytes)) result.push_back(line.text);
        return result;
    }
};

using Texts = std::vector<std::string>;

TEST_P(LineFraming, CarriageReturnEatsTheNextByteWhateverItIs) {
    EXPECT_EQ(texts("ab\r\ncd\r\n"), (Texts{"ab", "cd"}));
    EXPECT_EQ(texts("ab\rXcd\r\rZ\r\n"), (Texts{"ab", "cd", "Z"}));
    EXPECT_EQ(texts("ab\r\r\rZ"), (Texts{"ab", ""}));
    EXPECT_EQ(texts("\r\n\r\n"), (Texts{"", ""}));
}

TEST_P(LineFraming, LineFeedAloneIsAnOrdinaryByte) { EXPECT_EQ(texts("a\nb\n"), (Texts{"a=b="})); }

TEST_P(LineFraming, EndOfFileEndsTheLastLine) {
    EXPECT_EQ(texts("ab\r\ncd"), (Texts{"ab", "cd"}));
    EXPECT_EQ(texts("ab\r"), (Texts{"ab"}));
    EXPECT_EQ(texts(""), (Texts{}));
}

TEST_P(LineFraming, ByteZeroAddsNothing) {
    EXPECT_EQ(texts("47\0"s
                    "11*\r\n"),
              (Texts{"4711*"}));
}

TEST_P(LineFraming, HeaderIsALineWhoseLastCharacterIsAStar) {
    const auto lines = frame(adr_test::adrLines({"4711*", "47*11", "* ", "", "*", "*\0"s, "**"}));
    ASSERT_EQ(lines.size(), 7u);
    const bool expected[] = {true, false, false, false, true, true, true};
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].isHeader, expected[i]) << "line " << i + 1;
}

TEST_P(LineFraming, LongLineKeepsTwoHundredCharactersAndIsJudgedWhole) {
    const std::string umlauts(2 * 250, '\x81');  // ü, two bytes each once translated
    const auto lines = frame(std::string(249, 'x') + "*\r\n" + umlauts);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].isHeader);
    EXPECT_EQ(lines[0].text, std::string(200, 'x'));
    EXPECT_EQ(text::charCount(lines[1].text), 200u);
    EXPECT_EQ(lines[1].text.substr(0, 4), "üü");
}

TEST_P(LineFraming, EveryByteIsTranslatedWhereverItStandsAmongPlainOnes) {
    const adr::CharTable& table = adr::zeichentabelle();
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == 13) continue;
        // At every place of the blocks plain bytes are taken in, and behind them.
        for (std::size_t before = 0; before < 20; ++before) {
            const std::string plain(before, 'a');
            const std::string after(17, 'b');
            const std::string expected = plain + std::string(table.character(static_cast<unsigned char>(byte))) + after;
            ASSERT_EQ(texts(plain + static_cast<char>(byte) + after), (Texts{expected})) << "byte " << byte;
        }
    }
    const auto lines = frame(std::string(197, 'x') + "\"" + std::string(50, 'x'));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, std::string(197, 'x') + "'xx") << "the quote is swapped also at the end of the kept text";
}

TEST_P(LineFraming, NulBytesAreCountedFromTheirFirstColumnAlsoBeyondTheKeptText) {
    adr_test::MemorySource source("a\0b\r\n"s + std::string(300, 'x') + "\0\0"s + std::string(10, 'y') + "\0*\r\n"s,
                                  GetParam());
    adr::LineReader reader(source);
    adr::Line line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line.nulBytes, 1u);
    EXPECT_EQ(line.firstNulColumn, 2u);
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line.nulBytes, 3u);
    EXPECT_EQ(line.firstNulColumn, 301u);
    EXPECT_EQ(line.characters, 311u);
    EXPECT_TRUE(line.isHeader) << "the last character, behind a byte 0";
}

TEST_P(LineFraming, NumberGoesOnBeyondTheKeptText) {
    adr_test::MemorySource source(std::string(199, ' ') + "12 34x\r\n" + std::string(300, ' ') + "4711*", GetParam());
    adr::LineReader reader(source);
    adr::Line line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line.number(), 1234.0) << "the blanks between the digits are skipped";
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line.text, std::string(200, ' '));
    EXPECT_EQ(line.number(), 4711.0);
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, LineFraming, ::testing::Values(1, 2, 3, 64 * 1024));

double addressNumber(const std::string& headerLine) {
    adr_test::MemorySource source(headerLine);
    adr::LineReader reader(source);
    adr::Line line;
    EXPECT_TRUE(reader.next(line));
    return line.number();
}

TEST(HeaderNumber, LeadingNumberOfTheWholeLine) {
    EXPECT_EQ(addressNumber("4711*"), 4711.0);
    EXPECT_EQ(addressNumber(" 4 7 1 1*"), 4711.0);
    EXPECT_EQ(addressNumber("*"), 0.0);
    EXPECT_EQ(addressNumber("\t4711*"), 0.0) << "a tab arrives as \"=\"";
}

// A file of one line far longer than any buffer, generated as it is read.
class EndlessLine : public adr::ByteSource {
public:
    explicit EndlessLine(std::size_t length) : left_(length) {}
    std::size_t read(char* buffer, std::size_t size) override {
        std::size_t n = 0;
        for (; n < size && left_ > 0; ++n, --left_) buffer[n] = left_ == 1 ? '*' : '7';
        return n;
    }

private:
    std::size_t left_;
};

TEST(HugeLine, IsHeldInBoundedMemory) {
    EndlessLine source(8 * 1024 * 1024);
    adr::LineReader reader(source);
    adr::Line line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_TRUE(line.isHeader);
    EXPECT_EQ(line.text, std::string(200, '7'));
    EXPECT_LT(line.text.capacity(), 4096u);
    EXPECT_THROW(line.number(), text::NumberOverflow) << "eight million digits do not fit a double";
    EXPECT_FALSE(reader.next(line));
}

}  // namespace

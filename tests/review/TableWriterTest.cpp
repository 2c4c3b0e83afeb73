// The cells of CSV, JSON Lines and workbooks, and the tables written with them.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>

#include "review/TableWriter.h"
#include "review/WorkbookWriter.h"
#include "support/TempDir.h"

namespace {

using review::TableFormat;

TEST(TableCells, CsvQuotesOnlyWhatASpreadsheetWouldSplit) {
    EXPECT_EQ(review::csvCell("Meier, Hans"), "Meier, Hans");
    EXPECT_EQ(review::csvCell("a;b"), "\"a;b\"");
    EXPECT_EQ(review::csvCell("12\" Zoll"), "\"12\"\" Zoll\"");
    EXPECT_EQ(review::csvCell("Zeile 1\r\nZeile 2"), "\"Zeile 1\r\nZeile 2\"");
    EXPECT_EQ(review::csvCell("x\ny"), "\"x\ny\"");
    EXPECT_EQ(review::csvCell(""), "");
    // Short and long cells are looked through in different ways, some in blocks of characters:
    // the character that splits is found at every place of a block and of what is left after it.
    const std::string plain(40, 'x');
    EXPECT_EQ(review::csvCell(plain), plain);
    for (const char c : {';', '"', '\r', '\n'}) {
        for (const std::size_t length : {std::size_t{32}, std::size_t{33}, std::size_t{200}}) {
            const std::string cell = std::string(length - 1, 'x') + c;
            EXPECT_EQ(review::csvCell(cell).front(), '"') << length << " " << int{c};
        }
        for (std::size_t at = 0; at < plain.size(); ++at) {
            std::string cell = plain;
            cell[at] = c;
            EXPECT_EQ(review::csvCell(cell).front(), '"') << at << " " << int{c};
        }
    }
}

// What a spreadsheet would take as a formula stays text: behind an apostrophe, in quotes.
TEST(TableCells, CsvKeepsFormulaLikeTextsAsText) {
    EXPECT_EQ(review::csvCell("=1+1"), "\"'=1+1\"");
    EXPECT_EQ(review::csvCell("=HYPERLINK(\"x\";\"y\")"), "\"'=HYPERLINK(\"\"x\"\";\"\"y\"\")\"");
    EXPECT_EQ(review::csvCell("+1"), "\"'+1\"");
    EXPECT_EQ(review::csvCell("-1"), "\"'-1\"");
    EXPECT_EQ(review::csvCell("@SUM(A1)"), "\"'@SUM(A1)\"");
    EXPECT_EQ(review::csvCell("\tvorn"), "\"'\tvorn\"");
    EXPECT_EQ(review::csvCell("\rvorn"), "\"'\rvorn\"");
    // Only the first character counts.
    EXPECT_EQ(review::csvCell("a=b-c"), "a=b-c");
    EXPECT_EQ(review::csvCell("0123"), "0123");
}

TEST(TableCells, NumbersAreWhatJsonWritesAsNumbers) {
    for (const char* number : {"0", "17", "-3", "2.5", "-0.25", "1e+20", "4711E-2"}) {
        EXPECT_TRUE(review::isNumberText(number)) << number;
    }
    for (const char* text : {"", "-", "0123", "01067", "1.", ".5", "1e", "+1", "inf", "nan", "1 2", "12a"}) {
        EXPECT_FALSE(review::isNumberText(text)) << text;
    }
}

TEST(TableCells, JsonEscapesQuotesBackslashAndControlCharacters) {
    EXPECT_EQ(review::jsonString("Müller \"Hans\""), "\"Müller \\\"Hans\\\"\"");
    EXPECT_EQ(review::jsonString("C:\\ADR"), "\"C:\\\\ADR\"");
    EXPECT_EQ(review::jsonString("a\nb\rc\td"), "\"a\\nb\\rc\\td\"");
    EXPECT_EQ(review::jsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\\u007f\"");
    EXPECT_EQ(review::jsonString("Straße ⏎ Weg"), "\"Straße ⏎ Weg\"");
}

TEST(TableCells, FormatFollowsTheFileEnding) {
    EXPECT_EQ(review::tableFormatOf("bericht.csv"), TableFormat::csv);
    EXPECT_EQ(review::tableFormatOf("/tmp/bericht.jsonl"), TableFormat::jsonl);
    EXPECT_EQ(review::tableFormatOf("bericht.txt"), std::nullopt);
    EXPECT_EQ(review::tableFormatOf("csv"), std::nullopt);
    // Windows users type endings in either case.
    EXPECT_EQ(review::tableFormatOf("BERICHT.CSV"), TableFormat::csv);
    EXPECT_EQ(review::tableFormatOf("bericht.JsonL"), TableFormat::jsonl);
    EXPECT_EQ(review::tableFormatOf("Bericht.XLSX"), TableFormat::xlsx);
}

TEST(TableWriting, CsvHasByteOrderMarkHeaderAndEmptyCellForNull) {
    std::ostringstream out;
    review::TableWriter writer(out, TableFormat::csv, {"id", "nachname", "Geburtstag"});
    writer.row({"1", "Meier; Söhne", std::nullopt});
    EXPECT_EQ(out.str(), "\xEF\xBB\xBFid;nachname;Geburtstag\r\n1;\"Meier; Söhne\";\r\n");
}

TEST(TableWriting, JsonLinesKeepTheColumnNamesAsKeysAndNullAsNull) {
    std::ostringstream out;
    review::TableWriter writer(out, TableFormat::jsonl, {"id", "nachname", "Geburtstag"});
    writer.row({"1", "Meier", std::nullopt});
    writer.row({"2", "", "1970-01-31"});
    EXPECT_EQ(out.str(),
              "{\"id\":\"1\",\"nachname\":\"Meier\",\"Geburtstag\":null}\n"
              "{\"id\":\"2\",\"nachname\":\"\",\"Geburtstag\":\"1970-01-31\"}\n");
}

// Numbers are numbers in JSON Lines and stand as they are in CSV; a text of digits stays text,
// and a number cell whose text is no number is written as the text it is.
TEST(TableWriting, NumbersStayNumbersAndTextsStayTexts) {
    using review::Cell;
    std::ostringstream jsonl;
    review::TableWriter json(jsonl, TableFormat::jsonl, {"ID", "Telefon", "Leer", "Falsch", "Minus"});
    json.row({Cell::ofNumber("17"), "0123", std::nullopt, Cell::ofNumber("0123"), "-1"});
    EXPECT_EQ(jsonl.str(), "{\"ID\":17,\"Telefon\":\"0123\",\"Leer\":null,\"Falsch\":\"0123\",\"Minus\":\"-1\"}\n");
    std::ostringstream csv;
    review::TableWriter table(csv, TableFormat::csv, {"ID", "Text"});
    table.row({Cell::ofNumber("-1"), "-1"});
    EXPECT_EQ(csv.str(), "\xEF\xBB\xBFID;Text\r\n-1;\"'-1\"\r\n");
}

TEST(TableWriting, JsonLinesKeepFormulaLikeTextsUnchanged) {
    std::ostringstream out;
    review::TableWriter writer(out, TableFormat::jsonl, {"a", "b"});
    writer.row({"=1+1", "@SUM(A1)"});
    EXPECT_EQ(out.str(), "{\"a\":\"=1+1\",\"b\":\"@SUM(A1)\"}\n");
}

// A workbook is written only when it is closed, whole; one that cannot be written says so and
// leaves no file, and one given up before leaves none either.
TEST(WorkbookWriting, IsWrittenWholeOnCloseAndAFailureIsReported) {
    testing_support::TempDir dir;
    const std::string path = dir.file("tabelle.xlsx");
    {
        review::WorkbookWriter workbook(path, {"ID", "Name"}, "Tabelle");
        workbook.row({review::Cell::ofNumber("1"), "=1+1"});
        EXPECT_FALSE(std::filesystem::exists(path));
        workbook.close({"1 Zeile"});
    }
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_GT(std::filesystem::file_size(path), 1000u);
    {
        review::WorkbookWriter givenUp(dir.file("aufgegeben.xlsx"), {"ID"}, "Tabelle");
        givenUp.row({review::Cell::ofNumber("1")});
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("aufgegeben.xlsx")));

    const std::string unwritable = dir.file("fehlt/tabelle.xlsx");
    review::WorkbookWriter workbook(unwritable, {"ID"}, "Tabelle");
    workbook.row({review::Cell::ofNumber("1")});
    try {
        workbook.close({});
        FAIL() << "no failure reported";
    } catch (const std::runtime_error& failure) {
        EXPECT_NE(std::string(failure.what()).find("Die Arbeitsmappe " + unwritable + " ließ sich nicht schreiben"),
                  std::string::npos)
            << failure.what();
    }
    EXPECT_FALSE(std::filesystem::exists(unwritable));
}

// A text longer than a cell takes is cut at the limit, not refused: the rows after it are written.
TEST(WorkbookWriting, ALongTextIsCutAndTheWorkbookStillWritten) {
    testing_support::TempDir dir;
    const std::string path = dir.file("lang.xlsx");
    review::WorkbookWriter workbook(path, {"Text"}, "Tabelle");
    workbook.row({std::string(40000, 'x')});
    workbook.row({"danach"});
    EXPECT_NO_THROW(workbook.close({}));
    EXPECT_TRUE(std::filesystem::exists(path));
}

// A path of another encoding (a Linux folder named in Latin-1) must not make the file unreadable
// as UTF-8: what is no UTF-8 becomes U+FFFD, and every character that is stays as it was.
TEST(TableWriting, BytesThatAreNoUtf8BecomeTheReplacementCharacter) {
    std::ostringstream csv;
    review::TableWriter csvWriter(csv, TableFormat::csv, {"Hinweise", "Original"});
    csvWriter.row({"/home/M\xFCller/ADR fehlt", "Weiß \xC3"});
    EXPECT_EQ(csv.str(), "\xEF\xBB\xBFHinweise;Original\r\n/home/M\xEF\xBF\xBDller/ADR fehlt;Weiß \xEF\xBF\xBD\r\n");
    std::ostringstream jsonl;
    review::TableWriter jsonWriter(jsonl, TableFormat::jsonl, {"a"});
    jsonWriter.row({"\xED\xA0\x80 \xF0\x9F\x98\x80"});  // a surrogate is no UTF-8; U+1F600 is
    EXPECT_EQ(jsonl.str(), "{\"a\":\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD \xF0\x9F\x98\x80\"}\n");
}

}  // namespace

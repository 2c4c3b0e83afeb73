// The cells of CSV and JSON Lines, and the tables written with them.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "review/TableWriter.h"

namespace {

using review::TableFormat;

TEST(TableCells, CsvQuotesOnlyWhatASpreadsheetWouldSplit) {
    EXPECT_EQ(review::csvCell("Meier, Hans"), "Meier, Hans");
    EXPECT_EQ(review::csvCell("a;b"), "\"a;b\"");
    EXPECT_EQ(review::csvCell("12\" Zoll"), "\"12\"\" Zoll\"");
    EXPECT_EQ(review::csvCell("Zeile 1\r\nZeile 2"), "\"Zeile 1\r\nZeile 2\"");
    EXPECT_EQ(review::csvCell("x\ny"), "\"x\ny\"");
    EXPECT_EQ(review::csvCell(""), "");
    // Short and long cells are looked through in different ways.
    const std::string plain(40, 'x');
    EXPECT_EQ(review::csvCell(plain), plain);
    for (const char c : {';', '"', '\r', '\n'}) {
        for (const std::size_t length : {std::size_t{32}, std::size_t{33}, std::size_t{200}}) {
            const std::string cell = std::string(length - 1, 'x') + c;
            EXPECT_EQ(review::csvCell(cell).front(), '"') << length << " " << int{c};
        }
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

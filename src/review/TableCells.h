#pragma once
// How one cell is written in each format of the review files. A spreadsheet takes a CSV cell that
// begins with "=", "+", "-", "@", a tab or a carriage return as a formula; such a cell is written
// with a leading apostrophe, as the spreadsheet makers advise, so that it stays text. JSON Lines
// and the workbook carry types of their own and keep every text as it is.

#include <string>
#include <string_view>

namespace review {

// One CSV cell: quoted when it holds ";", a quotation mark, CR or LF, or when it would be taken
// as a formula (then with a leading apostrophe); inner quotes doubled.
std::string csvCell(std::string_view text);
void appendCsvCell(std::string& out, std::string_view text);
// One JSON string literal, quotes and backslash escaped, control characters as \uXXXX.
std::string jsonString(std::string_view text);
void appendJsonString(std::string& out, std::string_view text);
// Whether text is a number as JSON writes one ("-12", "2.5", "1e+20"), so that it can stand
// unquoted in JSON and as a number in a spreadsheet.
bool isNumberText(std::string_view text);

}  // namespace review

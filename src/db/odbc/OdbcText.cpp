#include "db/odbc/OdbcText.h"

#include "text/Unicode.h"

namespace db {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));

std::u16string toWide(std::string_view utf8) { return text::utf8ToUtf16(utf8); }

std::string fromWide(const SQLWCHAR* wide, std::size_t length) {
    std::u16string units(length, u'\0');
    for (std::size_t i = 0; i < length; ++i) units[i] = static_cast<char16_t>(wide[i]);
    return text::utf16ToUtf8Replacing(units);
}

}  // namespace db

#include "db/odbc/OdbcText.h"

#include "settings/Unicode.h"

namespace db {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));

std::u16string toWide(std::string_view utf8) { return settings::utf8ToUtf16(utf8); }

std::string fromWide(const SQLWCHAR* text, std::size_t length) {
    std::u16string units(length, u'\0');
    for (std::size_t i = 0; i < length; ++i) units[i] = static_cast<char16_t>(text[i]);
    for (std::size_t i = 0; i < length; ++i) {
        const bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF;
        const bool low = units[i] >= 0xDC00 && units[i] <= 0xDFFF;
        if (high && i + 1 < length && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            units[i] = 0xFFFD;
        }
    }
    return settings::utf16ToUtf8(units).value_or(std::string());
}

}  // namespace db

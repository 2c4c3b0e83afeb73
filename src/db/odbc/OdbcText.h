#pragma once
// Text at the ODBC boundary: UTF-8 inside, UTF-16 (SQLWCHAR) in every call and for SQL_C_WCHAR data.

#include <cstddef>
#include <string>
#include <string_view>

#include "db/odbc/Odbc.h"

namespace db {

std::u16string toWide(std::string_view utf8);
// An unpaired surrogate becomes U+FFFD.
std::string fromWide(const SQLWCHAR* text, std::size_t length);

// SQLWCHAR is two bytes on every platform the program runs on.
inline SQLWCHAR* sqlText(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

}  // namespace db

#pragma once
// The field text helpers: CutFrom cuts a sub-field out of a field text; Nz and list build
// display text from column values that may be empty or null.

#include <string>
#include <string_view>

#include "db/Value.h"

namespace adr {

// Cuts the sub-field "<Kenn>content</Kenn>" (anywhere; it wins) or "ab" + content (up to the
// end) out of text and returns it; text keeps what is left. Neither form: empty, text unchanged.
std::string CutFrom(std::string& text, std::string_view ab, std::string_view kenn = {});

// wert, or ersatzwert when wert is null.
db::Value Nz(const db::Value& wert, const db::Value& ersatzwert);

// davor + text + danach when the text form of text has at least one character, else empty.
std::string list(const db::Value& text, std::string_view davor = {}, std::string_view danach = {});

}  // namespace adr

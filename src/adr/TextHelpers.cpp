#include "adr/TextHelpers.h"

namespace adr {

namespace {

// Position of the first "<" + kenn + ">" (or "</" + kenn + ">" when closing), npos if none.
std::size_t findTag(std::string_view text, std::string_view kenn, bool closing) {
    const std::size_t name = closing ? 2 : 1;  // behind "<" or "</"
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (closing && (at + 1 >= text.size() || text[at + 1] != '/')) continue;
        const std::size_t end = at + name + kenn.size();
        if (end < text.size() && text.substr(at + name, kenn.size()) == kenn && text[end] == '>') return at;
    }
    return std::string_view::npos;
}

}  // namespace

std::string CutFrom(std::string& text, std::string_view ab, std::string_view kenn) {
    const std::size_t k1 = findTag(text, kenn, false);
    const std::size_t k2 = k1 == std::string::npos ? std::string::npos : findTag(text, kenn, true);
    if (k2 != std::string::npos && k2 > k1 && k2 >= k1 + kenn.size() + 2) {
        const std::size_t contentStart = k1 + kenn.size() + 2;
        std::string content = text.substr(contentStart, k2 - contentStart);
        text.erase(k1, k2 + kenn.size() + 3 - k1);
        return content;
    }
    // An empty marker is found at the start of a non-empty text.
    const std::size_t p = ab.empty() ? (text.empty() ? std::string::npos : 0) : text.find(ab);
    if (p == std::string::npos) return {};
    std::string rest = text.substr(p + ab.size());
    text.erase(p);
    return rest;
}

db::Value Nz(const db::Value& wert, const db::Value& ersatzwert) { return wert.isNull() ? ersatzwert : wert; }

std::string list(const db::Value& text, std::string_view davor, std::string_view danach) {
    std::string form = text.toText();
    if (form.empty()) return {};
    return std::string(davor) + form + std::string(danach);
}

}  // namespace adr

#include "settings/ExpandVariables.h"

#include <cstdlib>

#include "text/Unicode.h"

namespace settings {

std::optional<std::string> environmentVariable(std::string_view name) {
#ifdef _WIN32
    const wchar_t* value = _wgetenv(text::toWide(name).c_str());
    if (value == nullptr) return std::nullopt;
    return text::fromWide(value);
#else
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
#endif
}

std::string expandVariables(std::string_view text, VariableLookup lookup) {
    std::string expanded;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = text.find('%', pos);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        const std::string_view name = text.substr(open + 1, close - open - 1);
        const auto value = name.empty() ? std::nullopt : lookup(name);
        expanded += text.substr(pos, open - pos);
        expanded += value ? std::string_view(*value) : text.substr(open, close + 1 - open);
        pos = close + 1;
    }
    expanded += text.substr(pos);
    return expanded;
}

}  // namespace settings

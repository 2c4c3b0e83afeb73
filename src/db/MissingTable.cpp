#include "db/MissingTable.h"

namespace db {

std::optional<std::string> sqliteMissingTable(std::string_view text) {
    constexpr std::string_view kNoSuchTable = "no such table: ";
    const std::size_t at = text.find(kNoSuchTable);
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view name = text.substr(at + kNoSuchTable.size());
    name = name.substr(0, name.find_first_of(" \t\r\n"));
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);
    if (name.empty()) return std::nullopt;
    return std::string(name);
}

std::optional<std::string> sqlServerMissingTable(std::string_view text) {
    const std::size_t close = text.rfind('\'');
    if (close == std::string_view::npos || close == 0) return std::nullopt;
    const std::size_t open = text.rfind('\'', close - 1);
    if (open == std::string_view::npos || close - open < 2) return std::nullopt;
    std::string_view name = text.substr(open + 1, close - open - 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);
    return std::string(name);
}

}  // namespace db

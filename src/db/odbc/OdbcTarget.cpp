#include "db/odbc/OdbcTarget.h"

#include <cstdlib>

#include "db/Names.h"

namespace db {

namespace {

constexpr std::uint32_t kDefaultSeconds = 30;

std::optional<std::uint32_t> seconds(const std::vector<Keyword>& keywords, std::initializer_list<const char*> names) {
    std::optional<std::string> text;  // the last one given under any of the names
    for (const auto& keyword : keywords) {
        for (const char* name : names) {
            if (sameName(keyword.name, name)) text = keyword.value;
        }
    }
    if (!text || text->empty() || text->find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const unsigned long long value = std::strtoull(text->c_str(), nullptr, 10);
    if (value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace

void setTimeouts(OdbcTarget& target, const std::vector<Keyword>& keywords) {
    const auto login = seconds(keywords, {"Timeout", "Connection Timeout", "Connect Timeout"});
    const auto command = seconds(keywords, {"Command Timeout"});
    target.loginTimeoutSeconds = login.value_or(kDefaultSeconds);
    target.queryTimeoutSeconds = command ? command : login.value_or(kDefaultSeconds);
}

}  // namespace db

#include "app/RecordedImport.h"

#include <cmath>

#include "text/Numbers.h"
#include "text/SameName.h"

namespace app {

std::optional<std::int32_t> wholeIdOf(const std::string& text) {
    const auto value = text::numericValue(text);
    if (!value || std::floor(*value) != *value) return std::nullopt;
    return text::toInt32(text);
}

bool sameDatenpool(const std::string& a, const std::string& b) {
#ifdef _WIN32
    return text::sameName(a, b);
#else
    // A file is named by its full path, which begins with "/"; a server's name never does.
    if (a.starts_with('/') || b.starts_with('/')) return a == b;
    return text::sameName(a, b);
#endif
}

}  // namespace app

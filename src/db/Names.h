#pragma once
// Database object and column names compare without regard to case.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/SameName.h"

namespace db {

using text::sameName;

// The position of a name in a list, found without regard to case in constant time: columns
// are looked up by name for every value a row receives.
class NameIndex {
public:
    explicit NameIndex(const std::vector<std::string>& names);
    std::optional<std::size_t> find(std::string_view name) const;

private:
    // Hash and equality without regard to case, usable with a string_view key.
    struct CaseFreeHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const;
    };
    struct CaseFreeEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return sameName(a, b); }
    };
    std::vector<std::string> names_;
    std::unordered_map<std::string, std::size_t, CaseFreeHash, CaseFreeEqual> positions_;
    // The callers name their columns with the same few texts again and again: the last
    // position found for a text's address, confirmed by comparing the text.
    struct Recent {
        const char* address = nullptr;
        std::size_t position = 0;
    };
    mutable std::array<Recent, 64> recent_{};
};

}  // namespace db

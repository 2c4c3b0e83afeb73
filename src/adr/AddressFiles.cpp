#include "adr/AddressFiles.h"

#include <filesystem>

#include "text/PathInDirectory.h"
#include "text/Utf8Path.h"

namespace adr {

std::string addressFileName(int number) {
    return std::string{static_cast<char>('0' + number / 10 % 10), static_cast<char>('0' + number % 10), 'A'};
}

std::string addressFileNameFor(std::int32_t addressNumber) {
    const std::int64_t magnitude = addressNumber < 0 ? -std::int64_t{addressNumber} : addressNumber;
    return addressFileName(static_cast<int>(magnitude % 100));
}

std::string addressFilePath(const std::string& directory, const std::string& name) {
    const std::string asNamed = text::pathInDirectory(directory, name);
    std::string lowerName = name;
    for (char& c : lowerName) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    const std::string lower = text::pathInDirectory(directory, lowerName);
    const auto exists = [](const std::string& path) {
        std::error_code ignored;
        return std::filesystem::exists(text::pathOf(path), ignored);
    };
    return exists(asNamed) || !exists(lower) ? asNamed : lower;
}

std::string firstAddressFilePath(const std::string& directory) {
    return addressFilePath(directory, addressFileName(1));
}

}  // namespace adr

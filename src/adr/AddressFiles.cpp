#include "adr/AddressFiles.h"

namespace adr {

std::string addressFileName(int number) {
    return std::string{static_cast<char>('0' + number / 10 % 10), static_cast<char>('0' + number % 10), 'A'};
}

std::string addressFileNameFor(std::int32_t addressNumber) {
    const std::int64_t magnitude = addressNumber < 0 ? -std::int64_t{addressNumber} : addressNumber;
    return addressFileName(static_cast<int>(magnitude % 100));
}

std::string addressFilePath(const std::string& directory, const std::string& name) { return directory + "/" + name; }

}  // namespace adr

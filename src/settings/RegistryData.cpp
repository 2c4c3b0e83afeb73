#include "settings/RegistryData.h"

#include <cstring>
#include <string_view>

#include "text/Unicode.h"

namespace settings {

bool isStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

std::u16string utf16Units(const Bytes& stored) {
    std::u16string units(stored.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(stored[2 * i] | (stored[2 * i + 1] << 8));
    return units;
}

Bytes utf16Bytes(std::u16string_view units) {
    Bytes stored;
    stored.reserve(2 * units.size());
    for (const char16_t u : units) {
        stored.push_back(static_cast<std::uint8_t>(u & 0xFF));
        stored.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return stored;
}

Bytes utf8Data(const Bytes& stored) {
    const std::string utf8 = text::utf16ToUtf8Replacing(utf16Units(stored));
    return Bytes(utf8.begin(), utf8.end());
}

Bytes utf16Data(const std::uint8_t* utf8, std::uint32_t size) {
    return utf16Bytes(text::utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(utf8), size)));
}

Bytes answeredForm(std::uint32_t type, const Bytes& stored) { return isStringType(type) ? utf8Data(stored) : stored; }

Bytes storedForm(std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
    return isStringType(type) ? utf16Data(data, size) : Bytes(data, data + size);
}

Status answerData(const Bytes& bytes, std::uint8_t* data, std::uint32_t* size) {
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (size == nullptr) return kErrorSuccess;
    if (data != nullptr && *size < needed) {
        *size = needed;
        return kErrorMoreData;
    }
    if (data != nullptr && needed > 0) std::memcpy(data, bytes.data(), needed);
    *size = needed;
    return kErrorSuccess;
}

Status answerEnumerated(const std::string& name, std::uint32_t type, const Bytes& answered, char* nameBuffer,
                        std::uint32_t* nameSize, std::uint32_t* typeOut, std::uint8_t* data, std::uint32_t* dataSize) {
    if (name.size() >= *nameSize) return kErrorMoreData;
    if (const Status status = answerData(answered, data, dataSize); status != kErrorSuccess) return status;
    std::memcpy(nameBuffer, name.c_str(), name.size() + 1);
    *nameSize = static_cast<std::uint32_t>(name.size());
    if (typeOut != nullptr) *typeOut = type;
    return kErrorSuccess;
}

}  // namespace settings

#pragma once
// Data as it crosses the registry interface. The registry keeps string data as UTF-16LE; the
// program hands it over and gets it back as UTF-8. Both backends convert the same way and
// answer with the same buffer rules.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/RegistryApi.h"

namespace settings {

using Bytes = std::vector<std::uint8_t>;

// UTF-16 code units from the little-endian bytes the registry stores (an odd last byte is
// dropped), and back.
std::u16string utf16Units(const Bytes& stored);
Bytes utf16Bytes(std::u16string_view units);

// REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ hold text.
bool isStringType(std::uint32_t type);

// Stored UTF-16LE as UTF-8: an unpaired surrogate becomes U+FFFD, an odd last byte is dropped.
Bytes utf8Data(const Bytes& stored);
// UTF-8 as stored UTF-16LE: malformed bytes become U+FFFD. NUL characters are kept as they are.
Bytes utf16Data(const std::uint8_t* utf8, std::uint32_t size);

// The data of a value as the interface answers it: string types in UTF-8, others unchanged.
Bytes answeredForm(std::uint32_t type, const Bytes& stored);
// The data as the registry stores what the interface is given.
Bytes storedForm(std::uint32_t type, const std::uint8_t* data, std::uint32_t size);

// The buffer rule of the query functions: no size, nothing to answer; a data buffer too small
// gives kErrorMoreData and the size needed; otherwise the data and its size.
Status answerData(const Bytes& bytes, std::uint8_t* data, std::uint32_t* size);

// An enumerated value answered into the caller's buffers: a name that does not fit nameSize
// (in bytes, with its NUL) or data that does not fit gives kErrorMoreData.
Status answerEnumerated(const std::string& name, std::uint32_t type, const Bytes& answered, char* nameBuffer,
                        std::uint32_t* nameSize, std::uint32_t* typeOut, std::uint8_t* data, std::uint32_t* dataSize);

}  // namespace settings

#pragma once
// The Windows registry through advapi32's W functions. Windows only.

#include "settings/RegistryApi.h"

namespace settings {

class Win32Registry final : public RegistryApi {
public:
    Status openKeyEx(Key key, const char* subKey, std::uint32_t access, Key* result) override;
    Status queryValueEx(Key key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) override;
    Status setValueEx(Key key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t size) override;
    Status createKeyEx(Key key, const char* subKey, std::uint32_t options, std::uint32_t access, Key* result,
                       std::uint32_t* disposition) override;
    Status flushKey(Key key) override;
    Status enumValue(Key key, std::uint32_t index, char* name, std::uint32_t* nameSize, std::uint32_t* type,
                     std::uint8_t* data, std::uint32_t* dataSize) override;
    Status closeKey(Key key) override;
    std::string location() const override;
};

}  // namespace settings

#pragma once
// A settings store that refuses chosen writes, as a registry whose access rights were taken
// away or a settings file whose lock cannot be taken would: every call goes to the real store
// below, except a value write that `refuses` picks, which answers "access denied".

#include <functional>
#include <string>

#include "settings/RegistryApi.h"

namespace testing_support {

class RefusingRegistry final : public settings::RegistryApi {
public:
    explicit RefusingRegistry(settings::RegistryApi& store) : store_(store) {}

    // Given the value's name and its text (without the terminating NUL).
    std::function<bool(const std::string& name, const std::string& text)> refuses =
        [](const std::string&, const std::string&) { return false; };

    settings::Status openKeyEx(settings::Key key, const char* subKey, std::uint32_t access,
                               settings::Key* result) override {
        return store_.openKeyEx(key, subKey, access, result);
    }
    settings::Status queryValueEx(settings::Key key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) override {
        return store_.queryValueEx(key, valueName, type, data, size);
    }
    settings::Status setValueEx(settings::Key key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                                std::uint32_t size) override {
        const std::string text(reinterpret_cast<const char*>(data), size > 0 ? size - 1 : 0);
        if (refuses(valueName ? valueName : "", text)) return settings::kErrorAccessDenied;
        return store_.setValueEx(key, valueName, type, data, size);
    }
    settings::Status createKeyEx(settings::Key key, const char* subKey, std::uint32_t options, std::uint32_t access,
                                 settings::Key* result, std::uint32_t* disposition) override {
        return store_.createKeyEx(key, subKey, options, access, result, disposition);
    }
    settings::Status flushKey(settings::Key key) override { return store_.flushKey(key); }
    settings::Status enumValue(settings::Key key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                               std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override {
        return store_.enumValue(key, index, name, nameSize, type, data, dataSize);
    }
    settings::Status closeKey(settings::Key key) override { return store_.closeKey(key); }
    std::string location() const override { return store_.location(); }

private:
    settings::RegistryApi& store_;
};

}  // namespace testing_support

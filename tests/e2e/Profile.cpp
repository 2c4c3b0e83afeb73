#include "e2e/Profile.h"

#include <windows.h>

#include <stdexcept>

#include "text/Unicode.h"

namespace e2e {

namespace {

const std::wstring kProfiles = L"SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken";

void setText(const std::wstring& keyPath, const std::string& name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        throw std::runtime_error("cannot create the settings key");
    }
    const std::wstring data = text::toWide(value);
    const LSTATUS status =
        RegSetValueExW(key, text::toWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) throw std::runtime_error("cannot write the settings value " + name);
}

}  // namespace

void writeProfile(const std::string& profile, const std::vector<std::pair<std::string, std::string>>& connection,
                  const std::vector<std::pair<std::string, std::string>>& toolValues) {
    const std::wstring profileKey = kProfiles + L"\\" + text::toWide(profile);
    RegDeleteTreeW(HKEY_CURRENT_USER, profileKey.c_str());
    setText(kProfiles, "", profile);
    for (const auto& [name, value] : connection) setText(profileKey + L"\\verbindung", name, value);
    for (const auto& [name, value] : toolValues) setText(profileKey + L"\\Import", name, value);
}

std::string toolValue(const std::string& profile, const std::string& name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    const std::wstring keyPath = kProfiles + L"\\" + text::toWide(profile) + L"\\Import";
    if (RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), text::toWide(name).c_str(), RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    return text::fromWide(data);
}

}  // namespace e2e

#pragma once
// Which registry the program uses. A settings file named by the caller (the command-line
// option --registry) comes first, then the file $ANSCHRIFTENWANDLER_REGISTRY names; else the
// Windows registry on Windows, and elsewhere the file
// ${XDG_CONFIG_HOME:-~/.config}/anschriftenwandler/registry.reg.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "settings/FileLock.h"
#include "settings/RegistryApi.h"

namespace settings {

// file: UTF-8 path, or none. Throws RegistryFileError for a settings file that cannot be
// read or parsed, std::runtime_error when no place for the file can be found. stopWaiting
// ends a settings file's wait for another writer (the registry itself does not wait).
std::unique_ptr<RegistryApi> openRegistry(const std::optional<std::string>& file, StopWaiting stopWaiting = nullptr);

// The settings file used when no file is named: $ANSCHRIFTENWANDLER_REGISTRY, else
// ${XDG_CONFIG_HOME:-~/.config}/anschriftenwandler/registry.reg (a relative
// XDG_CONFIG_HOME is passed over). Throws std::runtime_error when HOME is needed and unset.
std::filesystem::path registryFileLocation();

}  // namespace settings

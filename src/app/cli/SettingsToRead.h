#pragma once
// The settings of a command that only reads them (settings show, check). A settings file that
// is not there would read as empty settings and pass for success; it is said as such instead.

#include <memory>
#include <optional>
#include <string>

#include "settings/RegistryApi.h"

namespace cli {

// registryFile: --registry, or none for the settings the tool uses by default. Throws
// std::runtime_error naming the settings file that is not there, and what opening the settings
// throws.
std::unique_ptr<settings::RegistryApi> openSettingsToRead(const std::optional<std::string>& registryFile);

}  // namespace cli

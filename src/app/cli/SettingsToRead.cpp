#include "app/cli/SettingsToRead.h"

#include <filesystem>
#include <stdexcept>

#include "app/cli/Interrupt.h"
#include "app/cli/Texts.h"
#include "settings/FileRegistry.h"
#include "settings/OpenRegistry.h"
#include "text/Utf8Path.h"

namespace cli {

std::unique_ptr<settings::RegistryApi> openSettingsToRead(const std::optional<std::string>& registryFile) {
    auto registry = settings::openRegistry(registryFile, &interruptRequested);
    if (const auto* file = dynamic_cast<const settings::FileRegistry*>(registry.get())) {
        std::error_code ignored;
        if (!std::filesystem::exists(file->file(), ignored)) {
            throw std::runtime_error(texts::settingsFileMissing(text::utf8Of(file->file())));
        }
    }
    return registry;
}

}  // namespace cli

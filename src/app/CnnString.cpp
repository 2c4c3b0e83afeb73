#include "app/CnnString.h"

#include "db/ConnectionString.h"

namespace app {

std::string joinConnectionKeywords(const std::vector<settings::NamedText>& keywords) {
    std::string connection;
    for (const auto& [name, text] : keywords) connection += name + "=" + db::connectionStringSetting(text) + "; ";
    return connection;
}

std::string cnnString(settings::RegistryApi& registry, std::string& datenbank,
                      const std::function<void(const std::string&)>& warn) {
    const std::string profiles = std::string(settings::kSettingsRoot) + "\\datenbanken";
    datenbank = settings::RegValueRead(registry, settings::kCurrentUser, profiles, "", "");
    const auto parameters =
        settings::RegValuesList(registry, settings::kCurrentUser, profiles + "\\" + datenbank + "\\verbindung");
    if (!parameters) {
        warn("Es sind keine Verbindungsparamter gespeichert.");
        return {};
    }
    return joinConnectionKeywords(*parameters);
}

}  // namespace app

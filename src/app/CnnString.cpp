#include "app/CnnString.h"

#include "app/Texts.h"
#include "db/ConnectionString.h"

namespace app {

std::string joinConnectionKeywords(const std::vector<settings::NamedText>& keywords) {
    std::string connection;
    for (const auto& [name, text] : keywords) connection += name + "=" + db::connectionStringSetting(text) + "; ";
    return connection;
}

namespace {

std::string profilesKey() { return std::string(settings::kSettingsRoot) + "\\datenbanken"; }

}  // namespace

std::string currentProfile(settings::RegistryApi& registry) {
    return settings::RegValueRead(registry, settings::kCurrentUser, profilesKey(), "", "");
}

std::string connectionKeyOf(const std::string& profile) { return profilesKey() + "\\" + profile + "\\verbindung"; }

std::string importKeyOf(const std::string& profile) { return profilesKey() + "\\" + profile + "\\Import"; }

std::string cnnString(settings::RegistryApi& registry, std::string& datenbank,
                      const std::function<void(const std::string&)>& warn) {
    datenbank = currentProfile(registry);
    const auto parameters = settings::RegValuesList(registry, settings::kCurrentUser, connectionKeyOf(datenbank));
    if (!parameters) {
        warn(std::string(texts::kNoConnectionParameters));
        return {};
    }
    return joinConnectionKeywords(*parameters);
}

}  // namespace app

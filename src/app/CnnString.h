#pragma once
// cnnString: the connection string of the current database profile, from the keywords the
// law-office system stored for it ("keyword=setting; " for every value, in the registry's
// order, nothing trimmed or decoded; a setting is quoted only where it holds ";" or outer
// blanks, so that it reaches the connection whole).

#include <functional>
#include <string>
#include <vector>

#include "settings/RegistryOperations.h"

namespace app {

// "keyword=setting; " for every pair, in their order; a setting that would not read back whole
// stands in quotes.
std::string joinConnectionKeywords(const std::vector<settings::NamedText>& keywords);

// The name of the current database profile; empty when none is set.
std::string currentProfile(settings::RegistryApi& registry);

// The key that holds a profile's connection keywords, and the key of the tool's own values.
std::string connectionKeyOf(const std::string& profile);
std::string importKeyOf(const std::string& profile);

// Sets datenbank to the current profile's name. Without stored parameters, warn receives
// "Es sind keine Verbindungsparamter gespeichert." (exclamation icon, titled
// "Norvel-Kanzleisoftware") and the answer is the empty text.
std::string cnnString(settings::RegistryApi& registry, std::string& datenbank,
                      const std::function<void(const std::string&)>& warn);

}  // namespace app

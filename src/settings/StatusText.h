#pragma once
// A registry status as the user reads it in a message.

#include <string>

#include "settings/RegistryApi.h"

namespace settings {

// "Zugriff verweigert (Fehler 5)"; "Fehler 1234" for a code without a text of its own.
std::string statusText(Status status);

}  // namespace settings

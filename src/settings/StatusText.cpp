#include "settings/StatusText.h"

namespace settings {

std::string statusText(Status status) {
    const char* text = nullptr;
    switch (status) {
        case kErrorFileNotFound: text = "nicht gefunden"; break;
        case kErrorAccessDenied: text = "Zugriff verweigert"; break;
        case kErrorInvalidHandle: text = "ungültiges Handle"; break;
        case kErrorInvalidParameter: text = "ungültiger Wert"; break;
        case kErrorBadPathname: text = "ungültiger Schlüsselpfad"; break;
        case kErrorRegistryIoFailed: text = "Die Einstellungen ließen sich nicht schreiben"; break;
        case kErrorKeyDeleted: text = "Schlüssel gelöscht"; break;
        case kErrorCancelled: text = "Warten auf die Einstellungen abgebrochen"; break;
        default: break;
    }
    const std::string code = "Fehler " + std::to_string(status);
    return text ? std::string(text) + " (" + code + ")" : code;
}

}  // namespace settings

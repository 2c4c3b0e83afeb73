#include "settings/Texts.h"

namespace settings::texts {

std::string fileLocation(std::string_view file) { return "Datei " + std::string(file); }

std::string fileUnreadable(std::string_view file) {
    return "Die Registrierungsdatei " + std::string(file) + " lässt sich nicht lesen.";
}

std::string fileFaultyAtLine(std::string_view file, std::size_t line, std::string_view reason) {
    return "Die Registrierungsdatei " + std::string(file) + " ist in Zeile " + std::to_string(line) +
           " fehlerhaft: " + std::string(reason);
}

std::string noPlaceForFile(std::string_view variable) {
    return "Kein Ort für die Registrierungsdatei: weder " + std::string(variable) + " noch HOME ist gesetzt.";
}

std::string headerMissing(std::string_view header) { return "die Kopfzeile \"" + std::string(header) + "\" fehlt"; }

std::string unknownRootKey(std::string_view name) { return "unbekannter Hauptschlüssel \"" + std::string(name) + "\""; }

std::string unknownEscape(char escaped) { return std::string("unbekannte Escape-Folge \"\\") + escaped + "\""; }

std::string invalidHexByte(std::string_view token) {
    return "ungültiges Byte \"" + std::string(token) + "\" in den hex-Daten";
}

std::string errorCode(std::int32_t status) { return "Fehler " + std::to_string(status); }

std::string statusWithCode(std::string_view text, std::int32_t status) {
    return std::string(text) + " (" + errorCode(status) + ")";
}

std::string unusableValue(std::string_view keyPath, std::string_view valueName, std::string_view typeName) {
    const std::string value = valueName.empty() ? "Der Standardwert" : "Der Wert \"" + std::string(valueName) + "\"";
    return value + " im Schlüssel " + std::string(keyPath) + " hat den Registrierungstyp " + std::string(typeName) +
           ", den das Programm nicht als Text lesen kann.";
}

}  // namespace settings::texts

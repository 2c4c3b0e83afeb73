#include "adr/Texts.h"

namespace adr::texts {

std::string fileNotFound(std::string_view path) { return "Datei nicht gefunden: " + std::string(path); }

std::string directoryNotFile(std::string_view path) {
    return "Keine Datei, sondern ein Verzeichnis: " + std::string(path);
}

std::string notARegularFile(std::string_view path) {
    return "Die Datei " + std::string(path) +
           " lässt sich nicht lesen: sie ist keine gewöhnliche Datei (sondern etwa eine Pipe oder ein Gerät).";
}

std::string fileCannotOpen(std::string_view path) {
    return "Die Datei " + std::string(path) + " lässt sich nicht öffnen (Zugriff verweigert?).";
}

std::string fileReadFailed(std::string_view path) {
    return "Die Datei " + std::string(path) + " lässt sich nicht weiterlesen.";
}

std::string addressNumberNotFound(std::int32_t number) {
    return "Adressnummer " + std::to_string(number) + " nicht gefunden";
}

std::string where(std::string_view file, std::uint64_t line) {
    return "Datei " + std::string(file) + ", Zeile " + std::to_string(line);
}

std::string stagingNotEmptied(std::string_view why) {
    return "Die Tabelle AdressenImport ließ sich nicht leeren; es wurde nichts konvertiert. " + std::string(why);
}

std::string stagingNotWritable(std::string_view why) {
    return "Die Tabelle AdressenImport lässt sich nicht beschreiben: " + std::string(why);
}

std::string nulBytes(std::uint64_t count, std::uint64_t firstColumn) {
    return count == 1 ? "Ein Nullbyte in Spalte " + std::to_string(firstColumn) + " ergibt kein Zeichen"
                      : std::to_string(count) + " Nullbytes ab Spalte " + std::to_string(firstColumn) +
                            " ergeben kein Zeichen";
}

std::string tooManyAddresses(std::int32_t count) { return "Überlauf: mehr als " + std::to_string(count) + " Adressen"; }

std::string notSaved(std::string_view why) {
    return why.empty() ? std::string(kNotSaved) : std::string(kNotSaved) + ": " + std::string(why);
}

std::string endsAtFileEnd(std::uint64_t lines) {
    return "endet mit dem Dateiende nach Zeile " + std::to_string(lines) + " von 8";
}

}  // namespace adr::texts

#include "app/StartupCheck.h"

namespace app {

namespace {

constexpr const char* kStagingTable = "AdressenImport";
constexpr const char* kRunTheScript = "Führen Sie das aktuelle Datenbankskript aus.";

}  // namespace

DatenpoolCheck connectionFailed(const db::Error& error) {
    return {DatenpoolCheck::Finding::unreachable,
            "Keine Verbindung zum Datenpool: " + std::string(error.description())};
}

DatenpoolCheck noConnectionParameters(const db::Error& error, const std::string& datenbank) {
    const std::string cause =
        datenbank.empty() ? "Es ist kein Datenbankprofil mit Verbindungsparametern gespeichert"
                          : "Für das Datenbankprofil \"" + datenbank + "\" sind keine Verbindungsparameter gespeichert";
    return {DatenpoolCheck::Finding::noProfile, cause + ": " + error.description()};
}

DatenpoolCheck checkDatenpool(db::Connection& connection) {
    try {
        if (!connection.hasTable(kStagingTable)) {
            return {DatenpoolCheck::Finding::noStagingTable,
                    "Im Datenpool \"" + connection.identity() + "\" fehlt die Tabelle " + kStagingTable +
                        "; ohne sie lässt sich nichts konvertieren.\r\n\r\n" + kRunTheScript};
        }
        if (const auto why = connection.whyReadOnly()) {
            return {DatenpoolCheck::Finding::readOnly,
                    "Der Datenpool \"" + connection.identity() + "\" ist schreibgeschützt: " + *why +
                        ". Konvertieren, Importieren und Löschen sind so nicht möglich."};
        }
    } catch (const db::Error& error) {
        return {DatenpoolCheck::Finding::unreachable,
                "Der Datenpool ließ sich nicht prüfen: " + std::string(error.description())};
    }
    return {};
}

}  // namespace app

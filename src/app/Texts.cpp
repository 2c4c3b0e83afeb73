#include "app/Texts.h"

#include <cmath>

namespace app::texts {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string counted(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string adrPathNotStored(const std::string& statusText) {
    return "Das ADR-Verzeichnis ließ sich nicht in den Einstellungen speichern (" + statusText +
           "); beim nächsten Start ist es nicht mehr eingetragen.";
}

std::string notAnAddressNumber(const std::string& commandLine) {
    return "\"" + commandLine + "\" ist keine Adressnummer; es wurde nichts konvertiert.";
}

std::string connectionFailed(const std::string& databaseText) {
    return "Keine Verbindung zum Datenpool: " + databaseText;
}

std::string driverNotLoaded(const std::string& databaseText) {
    return "Keine Verbindung zum Datenpool: Der ODBC-Treiber, den die Verbindung mit Driver= nennt, ließ sich nicht "
           "laden. Tragen Sie einen installierten Treiber ein, in den Verbindungsparametern des Datenbankprofils "
           "oder in der Verbindungszeichenfolge. Der Treiber-Manager meldet: " +
           databaseText;
}

std::string noConnectionParameters(const std::string& profile, const std::string& where,
                                   const std::string& databaseText) {
    const std::string cause =
        profile.empty() ? "Es ist kein Datenbankprofil mit Verbindungsparametern gespeichert"
                        : "Für das Datenbankprofil " + quoted(profile) + " sind keine Verbindungsparameter gespeichert";
    return cause + " (Einstellungen: " + where + "), deshalb keine Verbindung zum Datenpool: " + databaseText;
}

std::string missingStagingTable(const std::string& datenpool) {
    return "Im Datenpool " + quoted(datenpool) +
           " fehlt die Tabelle AdressenImport; ohne sie lässt sich nichts konvertieren.\r\n\r\n" +
           std::string(kRunTheScript);
}

std::string readOnlyDatenpool(const std::string& datenpool, const std::string& why) {
    return "Der Datenpool " + quoted(datenpool) + " ist schreibgeschützt: " + why +
           ". Konvertieren, Importieren und Löschen sind so nicht möglich.";
}

std::string datenpoolNotCheckable(const std::string& databaseText) {
    return "Der Datenpool ließ sich nicht prüfen: " + databaseText;
}

std::string settingsFailure(const std::string& where, const std::string& statusText) {
    return "Einstellungen (" + where + "): " + statusText + ".";
}

std::string conversionSummary(const std::string& count, const std::string& target) {
    return count + " Adressen konvertiert nach " + target + ":";
}

std::string cancelledTarget(const std::string& target) { return target + " (Konvertierung abgebrochen)"; }

std::string fileNotPlaced(const std::string& why) {
    return "die fertige Datei ließ sich nicht an ihren Platz bringen (" + why + ").";
}

std::string reportNotSaved(const std::string& path, const std::string& why) {
    return "Der Bericht konnte nicht als " + path + " gespeichert werden: " + why;
}

std::string reportSavedIncomplete(const std::string& path, const std::string& why) {
    return "Der Bericht ist als " + path + " gespeichert, aber unvollständig: " + why;
}

std::string reportNotOpened(const std::string& path, const std::string& why) {
    return "Der Bericht ist als " + path + " gespeichert. Windows konnte ihn nicht öffnen: " + why;
}

std::string reportWorkFileMissing(const std::string& why) {
    return "Für diese Konvertierung gibt es keinen Bericht: ihre Arbeitsdatei ließ sich nicht anlegen (" + why + ").";
}

std::string conversionSummaryUncounted(const std::string& target) {
    return "Adressen konvertiert nach " + target + "; ihre Liste und ihre Zahl ließen sich nicht lesen.";
}

std::string conversionNotBegun(const std::string& databaseText) {
    return databaseText + "\r\n\r\nDie Konvertierung wurde nicht begonnen; der Datenpool bleibt, wie er war.";
}

std::string conversionNotSaved(const std::string& databaseText) {
    return "Die konvertierten Adressen ließen sich nicht speichern; der Datenpool bleibt, wie er vor der "
           "Konvertierung war. " +
           databaseText;
}

std::string listUnreadable(const std::string& why) {
    return "Die Liste der konvertierten Adressen ließ sich nicht lesen: " + why;
}

std::string missingListColumn(std::string_view column) {
    return "Die Spalte '" + std::string(column) + "' gibt es in der Tabelle nicht.";
}

std::string importRefused(const std::string& datenbank) {
    return "In die Datenbank " + quoted(datenbank) + " kann nicht exportiert werden.";
}

std::string importQuestion(long long count, const std::string& datenbank, bool fromCancelledRun) {
    return "Hierdurch werden " + std::to_string(count) +
           " konvertierte Adressen in die Adressverwaltung der Datenbank " + quoted(datenbank) +
           "eingespielt.\r\n\r\n" +
           (fromCancelledRun ? "Achtung: Diese Adressen stammen aus einer abgebrochenen Konvertierung; die übrigen "
                               "Adressen des ADR-Verzeichnisses fehlen.\r\n\r\n"
                             : "") +
           "Da dieser Vorgang nicht immer spurenlos rückgängig gemacht werden kann, sollte dies erst geschehen, wenn "
           "die Daten zweifelsfrei so wie sie sind importiert werden sollen.";
}

std::string onlyNewQuestion(long long alreadyImported, long long fresh) {
    const std::string already =
        alreadyImported == 1 ? "ist 1 Adresse" : "sind " + std::to_string(alreadyImported) + " Adressen";
    const std::string rest = fresh == 0   ? "neue sind nicht darunter"
                             : fresh == 1 ? "neu ist 1 Adresse"
                                          : "neu sind " + std::to_string(fresh) + " Adressen";
    return "\r\n\r\nDavon " + already + " bereits in der Adressverwaltung (aus einem früheren Import); " + rest +
           ". Nur die neuen Adressen importieren?\r\n\r\nJa: nur die neuen Adressen. Nein: alle Adressen, auch "
           "die bereits importierten. Abbrechen: nichts importieren.";
}

std::string importFailed(const std::string& databaseText, const std::string& afterwards) {
    return "Der Import ließ sich nicht ausführen: " + databaseText + afterwards;
}

std::string nothingImportedNorDeleted(const std::string& from, const std::string& to) {
    return "Es wurde nichts importiert, und die zuletzt importierten Adressen " + from + " bis " + to +
           " wurden nicht gelöscht; der zuvor verzeichnete Import bleibt.";
}

std::string importWithoutRecord(const std::string& settingsFailure) {
    return "Der Bereich der importierten IDs ließe sich nicht speichern, und ohne ihn ließe sich der Import nicht "
           "rückgängig machen. " +
           std::string(kNothingImported) + "\r\n\r\n" + settingsFailure;
}

std::string recordOfOtherDatenpool(const std::string& foreign, const std::string& opened) {
    return "\r\n\r\nAchtung: Dieser Import ging in den Datenpool " + quoted(foreign) +
           ", nicht in den geöffneten Datenpool " + quoted(opened) + "; hier lässt er sich nicht löschen.";
}

std::string recordWithoutDatenpool(const std::string& opened, bool wouldBe) {
    return "\r\n\r\nAchtung: Für diesen Import ist nicht verzeichnet, in welchen Datenpool er ging; gelöscht " +
           std::string(wouldBe ? "würde" : "wird") + " im Datenpool " + quoted(opened) + ".";
}

std::string undoPreviousQuestion(const std::string& from, const std::string& to, const std::string& warning) {
    return "Zuletzt importierte Adressen " + from + " bis " + to +
           " zuvor löschen?\r\n\r\nAnderenfalls könnte es zu einer Duplizierung kommen." + warning;
}

std::string deletedAgain(const std::string& from, const std::string& to) {
    return "Die importierten Adressen " + from + " bis " + to + " wurden wieder wieder gelöscht.";
}

std::string imported(long long count, const std::string& from, const std::string& to) {
    if (count == 1) return "1 Adresse mit ID " + to + " wurde in die Adressverwaltung importiert.";
    return std::to_string(count) + " Adressen mit IDs " + from + " bis " + to +
           " wurden in die Adressverwaltung importiert.";
}

std::string leftOutAsImported(long long count) {
    if (count == 1) return " 1 bereits früher importierte Adresse wurde ausgelassen.";
    return " " + std::to_string(count) + " bereits früher importierte Adressen wurden ausgelassen.";
}

std::string maintenanceFailed(const std::string& databaseText) {
    return "Die Adressen sind importiert, aber die Datenpflege danach schlug fehl: " + databaseText;
}

std::string idsNotWhole(const std::string& from, const std::string& to, std::string_view consequence) {
    return "Die IDs " + quoted(from) + " bis " + quoted(to) + " sind keine ganzen Zahlen. " + std::string(consequence);
}

std::string foreignRecordRefusal(const std::string& from, const std::string& to, const std::string& foreign,
                                 const std::string& opened) {
    return "Der verzeichnete Import (IDs " + from + " bis " + to + ") ging in den Datenpool " + quoted(foreign) +
           ", geöffnet ist der Datenpool " + quoted(opened) +
           ". Er lässt sich nur dort löschen; es wurden keine Adressen gelöscht.";
}

std::string previousNotDeleted(const std::string& databaseText) {
    return "Die zuletzt importierten Adressen ließen sich nicht löschen: " + databaseText;
}

std::string stagingChanged(std::int64_t staged, long long confirmed, const std::string& nothingImported) {
    return "Die Tabelle AdressenImport enthält jetzt " + std::to_string(staged) + " Adressen, bestätigt wurden " +
           std::to_string(confirmed) +
           ". Sie wurde inzwischen verändert, etwa durch eine Konvertierung an einem anderen Arbeitsplatz. " +
           nothingImported + " Bitte die Liste prüfen und erneut importieren.";
}

std::string importTakenBack(const std::string& settled, const std::string& settingsFailure) {
    return "Der Bereich der importierten IDs ließ sich nicht speichern, und ohne ihn ließe sich der Import nicht "
           "rückgängig machen. Der Import wurde deshalb zurückgenommen." +
           settled + "\r\n\r\n" + settingsFailure;
}

std::string importRecordedDespiteFailure(const std::string& from, const std::string& to) {
    return "\r\n\r\nDennoch sind die Adressen mit IDs " + from + " bis " + to +
           " in der Adressverwaltung; sie sind als letzter Import verzeichnet und lassen sich wieder löschen.";
}

std::string importUnrecordedDespiteFailure(const std::string& from, const std::string& to,
                                           const std::string& settingsFailure) {
    return "\r\n\r\nDennoch sind die Adressen mit IDs " + from + " bis " + to +
           " in der Adressverwaltung, und ihr Bereich ließ sich nicht speichern. " + settingsFailure;
}

std::string previousRecordNotRestored(const std::string& from, const std::string& to,
                                      const std::string& settingsFailure) {
    return "\r\n\r\nEs wurde nichts importiert, aber der zuvor verzeichnete Import (IDs " + quoted(from) + " bis " +
           quoted(to) + ") ließ sich in den Einstellungen nicht wiederherstellen. " + settingsFailure;
}

std::string importUndetermined(const std::string& databaseText) {
    return "\r\n\r\nOb Adressen importiert wurden, ließ sich nicht feststellen: " + databaseText;
}

std::string undoRefused(const std::string& datenbank) {
    return "In der Datenbank " + quoted(datenbank) + " kann diese Funktion nicht ausgeführt werden.";
}

std::string idsOf(std::int64_t first, std::int64_t last) {
    return "IDs " + std::to_string(first) + " bis " + std::to_string(last);
}

std::string notLastImport(const std::string& ids) {
    return "\r\n\r\nAchtung: Das ist nicht der Bereich des letzten Imports (" + ids + ").";
}

std::string undoQuestion(std::int64_t count, std::int64_t lowest, std::int64_t highest, const std::string& ids,
                         const std::string& datenbank, const std::string& warning) {
    const std::string database = "der Adressverwaltung der Datenbank " + quoted(datenbank);
    if (count == 0) {
        return "Im Bereich der " + ids + " gibt es in " + database +
               " keine Adressen mehr; es wird keine gelöscht, nur der ID-Zähler zurückgesetzt und der Bereich "
               "ausgetragen." +
               warning + "\r\n\r\nFortfahren?";
    }
    const std::string goes = count == 1 ? "1 Adresse mit ID " + std::to_string(lowest)
                                        : std::to_string(count) + " Adressen mit " + idsOf(lowest, highest);
    return "Hierdurch werden " + goes + " aus " + database + " gelöscht." + warning + "\r\n\r\nWirklich löschen?";
}

std::string undoFailed(const std::string& databaseText, const std::string& restoreFailure) {
    return "Die Adressen ließen sich nicht löschen: " + databaseText + "\r\n\r\n" + std::string(kNoAddressesDeleted) +
           restoreFailure;
}

std::string otherImportRecorded(const std::string& from, const std::string& to) {
    return "Inzwischen wurde ein anderer Import verzeichnet (IDs " + quoted(from) + " bis " + quoted(to) +
           "); die Felder zeigen ihn jetzt. Es wurden keine Adressen gelöscht; bitte prüfen und erneut wählen.";
}

std::string rangeNotClearable(const std::string& settingsFailure) {
    return "Der Bereich ließe sich danach nicht aus den Einstellungen löschen. Es wurden keine Adressen "
           "gelöscht.\r\n\r\n" +
           settingsFailure;
}

std::string rangeNotRestored(const std::string& settingsFailure) {
    return " Der verzeichnete Bereich ließ sich in den Einstellungen nicht wiederherstellen. " + settingsFailure;
}

std::string recordHalfCleared(const std::string& from, const std::string& to) {
    return "Der Import ist in den Einstellungen nur noch zur Hälfte eingetragen (IDs " + quoted(from) + " bis " +
           quoted(to) + "). ";
}

std::string recordNotCleared(const std::string& recordState, const std::string& settingsFailure) {
    return "Der Bereich ließ sich nicht aus den Einstellungen löschen; deshalb wurden keine Adressen gelöscht. " +
           recordState + settingsFailure;
}

std::string notCheckable(const std::string& why) { return "ließ sich nicht prüfen: " + why; }

std::string trialProblems(std::int64_t count, const std::string& first) {
    return " " + counted(count, "Meldung", "Meldungen") + ", die erste: " + first;
}

std::string trialShort(const std::string& records, const std::string& saved, const std::string& problems) {
    return "von " + records + " Probe-Adressen nahm AdressenImport nur " + saved + " an." + problems;
}

std::string trialDone(const std::string& saved, const std::string& duration, const std::string& rate,
                      const std::string& problems) {
    return saved + " Probe-Adressen in " + duration + " konvertiert und in AdressenImport geschrieben (" + rate +
           " Adressen/s), dann zurückgenommen." + problems;
}

std::string adrCounted(const std::string& directory, const std::string& count, std::int64_t records) {
    return "ADR-Verzeichnis " + directory + ": " + count + (records == 1 ? " Adresse" : " Adressen");
}

std::string adrDuration(const std::string& counted, const std::string& duration) {
    return counted + "; die Konvertierung dauert bei dieser Rate " + duration;
}

std::string adrWithoutData(const std::string& directory) {
    return "das Verzeichnis " + directory + " enthält keine Adressdaten (keine Datei 01A)";
}

std::string durationText(double seconds) {
    if (seconds < 1) return "unter 1 Sekunde";
    const auto whole = static_cast<std::int64_t>(std::llround(seconds));
    if (whole < 60) return "etwa " + counted(whole, "Sekunde", "Sekunden");
    const std::int64_t minutes = (whole + 30) / 60;
    if (minutes < 60) return "etwa " + counted(minutes, "Minute", "Minuten");
    const std::string hours = "etwa " + counted(minutes / 60, "Stunde", "Stunden");
    return minutes % 60 == 0 ? hours : hours + " " + counted(minutes % 60, "Minute", "Minuten");
}

std::string notANumberColumn(const std::string& type) {
    return "nimmt als " + type + " die Adressnummer nicht als Zahl";
}

std::string noTextColumn(const std::string& type) { return "nimmt als " + type + " keinen Text"; }

std::string columnTooShort(const std::string& type, std::size_t longest) {
    return "ist mit " + type + " zu kurz: das Programm schreibt bis zu " + std::to_string(longest) + " Zeichen hinein";
}

std::string idColumnProblem(const std::string& problem) {
    return problem +
           ": das Programm ordnet, liest und löscht die Zeilen nach ihrer ganzzahligen ID. Legen Sie die Tabelle an, "
           "wie es das Datenbankskript (db/schema) tut.";
}

std::string idNotANumber(const std::string& type) { return "ist als " + type + " keine Zahl"; }

std::string columnProblem(const std::string& problem) {
    return problem + ". Passen Sie die Spalte an, wie sie das Datenbankskript (db/schema) anlegt.";
}

std::string columnsFit(std::size_t count, const std::string& typeNote) {
    return "vorhanden; die " + std::to_string(count) + " Spalten, die das Programm schreibt, passen" +
           (typeNote.empty() ? "" : " (" + typeNote + ")");
}

std::string systemError(unsigned long code) { return "Fehler " + std::to_string(code); }

}  // namespace app::texts

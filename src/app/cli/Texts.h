#pragma once
// What only the command-line tool says: the help of each command, the messages on bad usage, and
// what its commands tell beyond the window's texts (app/Texts.h). A fixed text is a constant
// named by what it says; a text with values is a function that returns the whole sentence.

#include <cstdint>
#include <string>
#include <string_view>

namespace cli::texts {

// Help.
inline constexpr std::string_view kHelp =
    "Aufruf: anschriftenwandler-cli BEFEHL [OPTIONEN]\n"
    "Konvertiert die Adressen eines RA-MICRO-ADR-Verzeichnisses und importiert sie in die Adressverwaltung\n"
    "der Norvel-Kanzleisoftware.\n\n"
    "Befehle:\n"
    "  check [--db ZIEL] [--adr VERZEICHNIS]   vor der Migration prüfen, ob Datenpool, Anmeldung und Treiber sie\n"
    "                                          tragen\n"
    "  init-db DATEI                           eingebetteten Datenpool anlegen\n"
    "  convert [--adr VERZEICHNIS] [--db ZIEL] ADR-Verzeichnis nach AdressenImport konvertieren\n"
    "  convert-one NUMMER --adr VERZEICHNIS --db ZIEL  eine Adresse konvertieren\n"
    "  import [--yes] [--undo-previous ja|nein]  konvertierte Adressen in die Adressverwaltung importieren\n"
    "  undo [--yes]                            den letzten Import wieder löschen\n"
    "  export --db ZIEL [--table TABELLE] [--format csv|jsonl] [--output DATEI]  eine Tabelle zur Durchsicht\n"
    "                                          ausgeben\n"
    "  settings show [--registry DATEI]        gelesene Einstellungen zeigen\n"
    "  --version                               Version zeigen\n\n"
    "BEFEHL --help zeigt die Optionen eines Befehls.\n"
    "Exit-Code: 0 ausgeführt, 1 nicht ausführbar, 2 falscher Aufruf.\n";

inline constexpr std::string_view kInitDbHelp =
    "Aufruf: anschriftenwandler-cli init-db DATEI [--force]\n"
    "Legt einen eingebetteten Datenpool (SQLite) aus dem Datenbankskript an.\n"
    "  --force   eine vorhandene Datei ersetzen\n";

inline constexpr std::string_view kConvertHelp =
    "Aufruf: anschriftenwandler-cli convert [--adr VERZEICHNIS] [--db ZIEL] [--registry DATEI] [--report DATEI]\n"
    "Liest die Adressdateien 01A bis 99A des ADR-Verzeichnisses in die Tabelle AdressenImport des\n"
    "Datenpools ZIEL (eine Datei, angelegt, wenn es sie nicht gibt, oder eine Verbindungszeichenfolge).\n"
    "Die konvertierten Adressen stehen auf stdout, Meldungen und die Zusammenfassung auf stderr.\n"
    "Strg+C bricht nach der laufenden Zeile ab.\n"
    "Fehlt --adr oder --db, gilt wie im Fenster, was die Einstellungen nennen (ADR-Pfad, das\n"
    "Datenbankprofil), und der ADR-Pfad wird dort gespeichert.\n"
    "  --report DATEI   Bericht je Datensatz (Datei, Zeile, Adressnummer, Ergebnis, ID, Hinweise,\n"
    "                   Original) als .csv (Semikolons, UTF-8 mit BOM) oder .jsonl\n";

inline constexpr std::string_view kConvertOneHelp =
    "Aufruf: anschriftenwandler-cli convert-one NUMMER --adr VERZEICHNIS --db ZIEL [--report DATEI]\n"
    "Liest die Adresse mit der RA-MICRO-Adressnummer NUMMER in die Tabelle AdressenImport;\n"
    "eine gespeicherte Adresse mit derselben fremdid wird ersetzt, sonst wird sie angefügt.\n"
    "  --report DATEI   Bericht über den Datensatz als .csv oder .jsonl (wie bei convert)\n";

inline constexpr std::string_view kImportHelp =
    "Aufruf: anschriftenwandler-cli import [--yes] [--only-new|--all] [--undo-previous ja|nein] [--dry-run]\n"
    "                                     [--registry DATEI] [--db ZIEL]\n"
    "Importiert die konvertierten Adressen aus AdressenImport in die Adressverwaltung (Adressen) und\n"
    "merkt sich die IDs für das Rückgängigmachen.\n"
    "  --yes                    den Import bestätigen, ohne zu fragen\n"
    "  --only-new               nur die neuen Adressen importieren: Adressen, deren RA-MICRO-Nummer\n"
    "                           (fremdid) schon in der Adressverwaltung steht, werden ausgelassen\n"
    "  --all                    alle Adressen importieren, auch die bereits importierten\n"
    "  --dry-run                nur auflisten, welche Adressen importiert und welche ausgelassen würden;\n"
    "                           nichts wird geändert\n"
    "  --undo-previous ja|nein  den zuletzt verzeichneten Import zuvor löschen (ja) oder behalten (nein);\n"
    "                           yes und no gelten auch\n"
    "  --registry DATEI         Einstellungen aus der .reg-Datei DATEI\n"
    "  --db ZIEL                Datenpool-Datei oder Verbindungszeichenfolge statt des Datenbankprofils\n"
    "Ohne --yes wird auf einem Terminal gefragt; ohne Terminal wird nichts importiert. Stehen Adressen\n"
    "bereits in der Adressverwaltung, ist ohne Terminal --only-new oder --all anzugeben.\n";

inline constexpr std::string_view kUndoHelp =
    "Aufruf: anschriftenwandler-cli undo [--yes] [--registry DATEI] [--db ZIEL]\n"
    "Löscht die Adressen des zuletzt verzeichneten Imports wieder aus der Adressverwaltung und setzt\n"
    "den ID-Zähler zurück.\n"
    "  --yes   ohne Rückfrage löschen\n";

inline constexpr std::string_view kSettingsHelp =
    "Aufruf: anschriftenwandler-cli settings show [--registry DATEI]\n"
    "Zeigt, was das Programm aus den Einstellungen liest: wo sie stehen, das Stammverzeichnis,\n"
    "das Datenbankprofil, dessen Verbindungsparameter und die Verbindungszeichenfolge daraus\n"
    "(Kennwörter verdeckt) und die eigenen Werte des Programms (ADR-Pfad, AdressNr0, AdressNr1).\n"
    "  --registry DATEI   die Einstellungen aus der .reg-Datei DATEI lesen; ohne die Option aus der\n"
    "                     Datei, die ANSCHRIFTENWANDLER_REGISTRY nennt, sonst unter Windows aus der\n"
    "                     Registrierung, sonst aus ~/.config/anschriftenwandler/registry.reg\n";

inline constexpr std::string_view kCheckHelp =
    "Aufruf: anschriftenwandler-cli check [--db ZIEL] [--registry DATEI] [--adr VERZEICHNIS]\n"
    "Prüft vor der Migration, ob dieser Datenpool, diese Anmeldung und dieser Treiber sie tragen, und\n"
    "ändert dabei nichts: Treiber, Server und Verschlüsselung der Verbindung; AdressenImport und\n"
    "Adressen mit jeder Spalte, die das Programm schreibt (Typ und Länge); die Prozeduren AdressImport\n"
    "und Datenpflege; die Rechte für Leeren, Schreiben, Löschen und das Zurücksetzen des ID-Zählers;\n"
    "Sperren anderer Sitzungen; eine Probe mit 1.000 Adressen in einer Transaktion, die zurückgenommen\n"
    "wird. Je Prüfung eine Zeile auf stdout: ok, Warnung oder Fehler, und was zu tun ist.\n"
    "  --db ZIEL              Datenpool-Datei (sie muss es geben) oder Verbindungszeichenfolge statt des\n"
    "                         Datenbankprofils\n"
    "  --registry DATEI       Einstellungen aus der .reg-Datei DATEI\n"
    "  --adr VERZEICHNIS      die Adressen des ADR-Verzeichnisses zählen und die Dauer ihrer Konvertierung\n"
    "                         schätzen\n"
    "Exit-Code: 0 alles Nötige ist erfüllt (Warnungen sind möglich), 1 eine Prüfung schlug fehl oder der\n"
    "Datenpool ließ sich nicht öffnen, 2 falscher Aufruf.\n";

inline constexpr std::string_view kExportHelp =
    "Aufruf: anschriftenwandler-cli export --db ZIEL [--table AdressenImport|Adressen] [--format csv|jsonl|xlsx]\n"
    "                                     [--output DATEI]\n"
    "Schreibt jede Spalte jeder Zeile der Tabelle (nach id geordnet) zur Durchsicht: csv mit Semikolons\n"
    "(UTF-8 mit BOM), jsonl (ein JSON-Objekt je Zeile) oder xlsx (Excel-Arbeitsmappe). NULL bleibt eine\n"
    "leere Zelle (jsonl: null), Zahlen sind Zahlen, Texte und Datumsangaben (JJJJ-MM-TT) bleiben, wie sie\n"
    "gespeichert sind; in csv beginnt ein Text, der als Formel gelesen würde, mit einem Apostroph.\n"
    "  --db ZIEL          Datenpool-Datei oder Verbindungszeichenfolge\n"
    "  --table TABELLE    AdressenImport (Vorgabe) oder Adressen\n"
    "  --format FORMAT    csv, jsonl oder xlsx; Vorgabe nach der Endung von --output, sonst csv\n"
    "  --output DATEI     Zieldatei; ohne sie stdout (nicht für xlsx)\n";

// What stands for an option's value in the help, where a message names the option.
inline constexpr std::string_view kInitDbFile = "init-db DATEI";

// Bad usage.
inline constexpr std::string_view kInitDbWantsOneFile = "init-db erwartet genau eine Datei.";
inline constexpr std::string_view kConvertOneWantsOneNumber = "convert-one erwartet genau eine Adressnummer.";
inline constexpr std::string_view kSettingsWantsShow = "settings erwartet den Unterbefehl show.";
inline constexpr std::string_view kUndoPreviousValues = "--undo-previous erwartet ja oder nein.";
inline constexpr std::string_view kOnlyNewOrAll = "--only-new und --all schließen einander aus.";
inline constexpr std::string_view kOnlyNewOrAllRequired =
    "Einige Adressen sind bereits in der Adressverwaltung; ohne Terminal ist --only-new (nur die neuen "
    "importieren) oder --all (alle importieren) anzugeben. Es wurde nichts importiert.";
inline constexpr std::string_view kOnlyNewUnknown =
    "--only-new ist nicht möglich: Die Tabelle Adressen hat keine Spalte fremdid, daher lässt sich nicht "
    "feststellen, welche Adressen bereits importiert sind. Es wurde nichts importiert.";
inline constexpr std::string_view kDbExcludesRegistry =
    "--db und --registry schließen einander aus: --db ersetzt das Profil der Einstellungen.";
inline constexpr std::string_view kFormatValues = "--format erwartet csv, jsonl oder xlsx.";
inline constexpr std::string_view kWorkbookNeedsFile =
    "Eine Arbeitsmappe (xlsx) braucht eine Zieldatei: --output DATEI.";
inline constexpr std::string_view kTableValues = "--table erwartet AdressenImport oder Adressen.";
inline std::string unknownCommand(const std::string& command) { return "Unbekannter Befehl: " + command; }
inline std::string unexpectedArgument(const std::string& word) { return "Unerwartetes Argument: " + word; }
inline std::string unknownOption(const std::string& option) { return "Unbekannte Option: " + option; }
inline std::string optionWantsValue(const std::string& option) {
    return "Die Option " + option + " verlangt einen Wert.";
}
inline std::string optionMissing(const std::string& option) { return "Die Option " + option + " fehlt."; }
inline std::string optionGivenTwice(const std::string& option) {
    return "Die Option " + option + " ist mehrfach angegeben.";
}
inline std::string flagTakesNoValue(const std::string& flag) { return "Die Option " + flag + " nimmt keinen Wert."; }
inline std::string textNotWritten(const std::string& reason) { return "Der Text ließ sich nicht ausgeben: " + reason; }
inline std::string notAnAddressNumber(const std::string& number) {
    return "Keine ganze Zahl als Adressnummer: " + number;
}
inline std::string emptyTarget(const std::string& what) {
    return what + " ist leer; anzugeben ist eine Datenpool-Datei oder eine Verbindungszeichenfolge.";
}
inline std::string reportExtension(const std::string& path) {
    return "--report erwartet eine Datei mit der Endung .csv, .jsonl oder .xlsx: " + path;
}

// The settings and the connection.
inline constexpr std::string_view kGiveConnection =
    "Den Datenpool mit --db ZIEL angeben (eine Datenpool-Datei oder eine Verbindungszeichenfolge) oder mit "
    "--registry DATEI die Einstellungen, deren Datenbankprofil ihn nennt.";
inline std::string settingsFileMissing(const std::string& path) {
    return "Die Einstellungsdatei " + path + " gibt es nicht. Mit --registry DATEI eine vorhandene .reg-Datei angeben.";
}
inline std::string datenpoolMissing(const std::string& target) { return "Den Datenpool " + target + " gibt es nicht."; }
inline std::string datenpoolNotCreated(const std::string& file, const std::string& databaseText) {
    return "Der Datenpool " + file + " ließ sich nicht anlegen: " + databaseText;
}
inline std::string datenpoolCreated(const std::string& file) { return "Datenpool angelegt: " + file; }
inline std::string fileExists(const std::string& file) {
    return "Die Datei " + file + " gibt es schon; mit --force wird sie ersetzt.";
}
inline std::string fileNotReplaceable(const std::string& file, const std::string& why) {
    return "Die Datei " + file + " lässt sich nicht ersetzen: " + why;
}

// settings show.
inline constexpr std::string_view kSettingsLabel = "Einstellungen: ";
inline constexpr std::string_view kRootLabel = "Stammverzeichnis: ";
inline constexpr std::string_view kProfileLabel = "Datenbankprofil: ";
inline constexpr std::string_view kConnectionStringLabel = "Verbindungszeichenfolge: ";
inline constexpr std::string_view kNoValues = "  (keine Werte)";
inline constexpr std::string_view kNone = "  (keine)";
inline constexpr std::string_view kDefaultValueName = "(Standard)";
inline std::string connectionKeywordsLabel(const std::string& key) {
    return "Verbindungsparameter (HKEY_CURRENT_USER\\" + key + "):";
}
inline std::string ownValuesLabel(const std::string& key) { return "Eigene Werte (HKEY_CURRENT_USER\\" + key + "):"; }

// The conversion.
inline constexpr std::string_view kConversionCancelled =
    "Die Konvertierung wurde abgebrochen; die Liste zeigt, was bis dahin konvertiert wurde.";
inline std::string recordsUnpaired(const std::string& why, bool countedFromRecords) {
    return "Die Adressen in AdressenImport ließen sich den Datensätzen nicht zuordnen (" + why +
           (countedFromRecords ? "). Die Zahlen sind aus AdressenImport gezählt; ihre IDs nennt der Bericht nicht."
                               : "). Welche Adressen gespeichert sind, zeigt AdressenImport.");
}
// staged: "1.234", or empty when the number could not be read.
inline std::string listCutShort(bool interrupted, const std::string& staged) {
    return std::string(interrupted ? "Die Ausgabe der Liste wurde abgebrochen, die Konvertierung nicht: "
                                   : "Die Liste ist unvollständig, die Konvertierung nicht: ") +
           (staged.empty() ? "alle konvertierten Adressen" : "alle " + staged + " konvertierten Adressen") +
           " sind in AdressenImport gespeichert.";
}
inline std::string addressUnverifiable(std::int32_t number, const std::string& why) {
    return "Ob die Adresse " + std::to_string(number) +
           " in AdressenImport gespeichert wurde, ließ sich nicht "
           "nachsehen (" +
           why + "); AdressenImport zeigt es.";
}
inline std::string addressNotStored(std::int32_t number) {
    return "Die Adresse " + std::to_string(number) + " wurde nicht in AdressenImport gespeichert.";
}
inline std::string rowRefused(const std::string& reason) {
    return "Der Datenpool hat die Adresse nicht gespeichert: " + reason;
}

// import and undo.
inline constexpr std::string_view kNothingStaged =
    "AdressenImport enthält keine konvertierten Adressen; zuerst konvertieren.";
inline constexpr std::string_view kNoAddressImported =
    "Es wurde keine Adresse in die Adressverwaltung importiert; der zuvor verzeichnete Import bleibt.";
inline std::string noUndoableImport(const std::string& from, const std::string& to) {
    return "Es ist kein Import verzeichnet, der sich löschen ließe (IDs \"" + from + "\" bis \"" + to + "\").";
}
inline constexpr std::string_view kYes = "ja";
inline constexpr std::string_view kNo = "nein";

// Questions on the console.
inline constexpr std::string_view kGoOnPrompt = "Fortfahren? [j/N]";
inline constexpr std::string_view kYesNoPrompt = "[j/N]";
inline constexpr std::string_view kYesNoCancelPrompt = "[j]a, [n]ein, sonst abbrechen:";
// import --dry-run.
// "auslassen (bereits importiert): 101 Meier, Herrn, 12345 Ort": what an import would do with
// a staged address, its RA-MICRO number and its list line.
inline std::string dryRunLine(bool leftOut, bool alreadyImported, const std::string& fremdid,
                              const std::string& listLine) {
    const char* what = leftOut           ? "auslassen (bereits importiert): "
                       : alreadyImported ? "importieren (bereits importiert): "
                                         : "importieren: ";
    return what + fremdid + " " + listLine;
}
struct DryRunCounts {
    std::int64_t imported = 0;
    std::int64_t leftOut = 0;
    std::int64_t already = 0;
};
// chosen: whether --only-new or --all was given.
inline std::string dryRunCounts(const DryRunCounts& counts, bool chosen) {
    std::string line = "Probelauf: " + std::to_string(counts.imported) + " Adressen würden importiert, " +
                       std::to_string(counts.leftOut) + " ausgelassen";
    if (!chosen && counts.already > 0) {
        line += " (davon " + std::to_string(counts.already) +
                " bereits in der Adressverwaltung; mit --only-new würden sie ausgelassen)";
    }
    return line + ". Es wurde nichts geändert.";
}
inline constexpr std::string_view kOnlyNewPrompt = "[j]a = nur neue, [n]ein = alle, sonst abbrechen:";
inline constexpr std::string_view kConfirmOption = "--yes";
inline constexpr std::string_view kUndoPreviousOption = "--undo-previous ja oder --undo-previous nein";
inline constexpr std::string_view kInterruptedQuestion = "Abgebrochen (Strg+C); nichts wurde geändert.";
inline std::string noAnswerPossible(std::string_view option) {
    return "Keine Antwort möglich (kein Terminal); abgebrochen. Mit " + std::string(option) + " antworten.";
}
inline constexpr std::string_view kNoOtherPrograms = "Das Kommandozeilenwerkzeug startet keine anderen Programme.";
inline constexpr std::string_view kOutOfMemory = "Nicht genügend Arbeitsspeicher; der Befehl wurde abgebrochen.";

// check.
inline constexpr std::string_view kVerdictOk = "ok";
inline constexpr std::string_view kVerdictWarning = "Warnung";
inline constexpr std::string_view kVerdictFailure = "Fehler";
inline std::string checkFailedToConnect(const std::string& why) { return "Fehler   Verbindung: " + why; }
inline std::string checkResult(int failures, int warnings) {
    const std::string counts =
        std::to_string(failures) + " Fehler, " + std::to_string(warnings) + (warnings == 1 ? " Warnung" : " Warnungen");
    return "Ergebnis: " + counts +
           (failures == 0 ? ". Der Datenpool trägt die Migration." : ". Beheben Sie die Fehler vor der Migration.");
}

// export and the files the tool writes.
inline constexpr std::string_view kOutputIncomplete = "Die Ausgabe ließ sich nicht vollständig schreiben.";
inline std::string rowsFromTable(std::int64_t count, const std::string& table) {
    return std::to_string(count) + (count == 1 ? " Zeile aus " : " Zeilen aus ") + table;
}
inline std::string rowsWritten(std::int64_t count, const std::string& table) {
    return rowsFromTable(count, table) + " ausgegeben.";
}
inline std::string fileNotRenamed(const std::string& draft, const std::string& target, const std::string& reason) {
    return "Die Datei " + draft + " ließ sich nicht in " + target + " umbenennen: " + reason + ".";
}
inline std::string exportFailed(const std::string& table, const std::string& databaseText) {
    return "Die Tabelle " + table + " ließ sich nicht ausgeben: " + databaseText;
}
inline std::string fileNotCreated(const std::string& path) {
    return "Die Datei " + path + " lässt sich nicht anlegen.";
}
inline std::string fileNotWritten(const std::string& path) {
    return "Die Datei " + path + " ließ sich nicht vollständig schreiben.";
}
inline std::string workFileNotCreated(const std::string& path) {
    return "Die Arbeitsdatei " + path + " lässt sich nicht anlegen.";
}
inline std::string earlierReportKept(const std::string& path) {
    return " Der frühere Bericht " + path + " bleibt, wie er war.";
}
inline std::string reportNotWritten(const std::string& why, const std::string& kept) {
    return "Der Bericht ließ sich nicht schreiben: " + why + kept;
}
inline std::string reportIncomplete(const std::string& why, const std::string& draft, const std::string& kept) {
    return "Der Bericht ist unvollständig: " + why + " Er steht in " + draft + "." + kept;
}

}  // namespace cli::texts

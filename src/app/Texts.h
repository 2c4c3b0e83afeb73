#pragma once
// Every text the window's logic shows, and what the window and the command-line tool say alike:
// captions, list fragments, messages and questions. A fixed text is a constant named by what it
// says; a text with values is a function that returns the whole sentence. The legacy program's own
// texts stand here as it wrote them, typos included.

#include <cstdint>
#include <string>
#include <string_view>

namespace app::texts {

// Captions of the controls.
inline constexpr std::string_view kHeaderCaption = "Adress-Import";
inline constexpr std::string_view kConvertCaption = "Konvertieren";
inline constexpr std::string_view kConvertAgainCaption = "konvertieren";  // once a conversion has ended
inline constexpr std::string_view kCancelCaption = "abbrechen";           // while a conversion runs
inline constexpr std::string_view kSourceCaption = "ADR-Verzeichnis auswählen (Quelle):";
inline constexpr std::string_view kTargetCaption = "Datenpool (Ziel):";
inline constexpr std::string_view kImportCaption = "importieren";
inline constexpr std::string_view kAddressListCaption = "Adressliste";
inline constexpr std::string_view kLastImportCaption = "Letzter Import";
inline constexpr std::string_view kIdsCaption = "IDs";
inline constexpr std::string_view kUpToCaption = "bis";
inline constexpr std::string_view kUndoCaption = "importierte Adressen wieder löschen";
inline constexpr std::string_view kReportCaption = "Bericht…";

// Titles: the window's caption as designed (start-up adds the version), and of messages.
inline constexpr std::string_view kDesignCaption = "Norvel-Kanzleisoftware - Adressimport";
inline constexpr std::string_view kNorvelTitle = "Norvel-Kanzleisoftware";
inline constexpr std::string_view kBrowseTitle = "ADR-Verzeichnis";

// The fragments of a list line, put before a value that has text.
inline constexpr std::string_view kListSeparator = ", ";
inline constexpr std::string_view kListPhone = ", Tel. : ";
inline constexpr std::string_view kListPhone2 = ", Tel2. : ";
inline constexpr std::string_view kListFax = ", Fax. : ";

// The ADR directory.
inline constexpr std::string_view kNoAdrDirectory = "ADR-Verzeichnis angeben!";
inline constexpr std::string_view kNoAddressData = "Das ausgewählte Dateiverzeichnis enthält keine Adressdaten";
std::string adrPathNotStored(const std::string& statusText);
// Single-address mode, started with a command line that is no address number.
std::string notAnAddressNumber(const std::string& commandLine);

// The connection and the Datenpool at start-up.
inline constexpr std::string_view kNoConnectionParameters = "Es sind keine Verbindungsparamter gespeichert.";
inline constexpr std::string_view kRunTheScript = "Führen Sie das aktuelle Datenbankskript aus.";
std::string connectionFailed(const std::string& databaseText);
std::string driverNotLoaded(const std::string& databaseText);
// profile: the current database profile's name, empty when none is set; where: the settings.
std::string noConnectionParameters(const std::string& profile, const std::string& where,
                                   const std::string& databaseText);
std::string missingStagingTable(const std::string& datenpool);
std::string readOnlyDatenpool(const std::string& datenpool, const std::string& why);
std::string datenpoolNotCheckable(const std::string& databaseText);
std::string settingsFailure(const std::string& where, const std::string& statusText);

// The conversion.
std::string conversionSummary(const std::string& count, const std::string& target);
std::string cancelledTarget(const std::string& target);

// The report of the window's last conversion.
inline constexpr std::string_view kReportSaveTitle = "Bericht der Konvertierung speichern";
inline constexpr std::string_view kReportSuggestedName = "Konvertierungsbericht";
inline constexpr std::string_view kWorkbookFileType = "Excel-Arbeitsmappe (*.xlsx)";
inline constexpr std::string_view kCsvFileType = "CSV-Datei, Semikolon getrennt (*.csv)";
inline constexpr std::string_view kFileNotCreated = "die Datei lässt sich nicht anlegen.";
inline constexpr std::string_view kFileNotWrittenWhole = "die Datei ließ sich nicht vollständig schreiben.";
std::string fileNotPlaced(const std::string& why);
std::string reportNotSaved(const std::string& path, const std::string& why);
std::string reportSavedIncomplete(const std::string& path, const std::string& why);
std::string reportNotOpened(const std::string& path, const std::string& why);
std::string reportWorkFileMissing(const std::string& why);
std::string conversionSummaryUncounted(const std::string& target);
std::string conversionNotBegun(const std::string& databaseText);
std::string conversionNotSaved(const std::string& databaseText);
std::string listUnreadable(const std::string& why);
std::string missingListColumn(std::string_view column);

// The import.
inline constexpr std::string_view kNothingImported =
    "Es wurde nichts importiert; der zuvor verzeichnete Import bleibt.";
inline constexpr std::string_view kPreviousNotDeleted =
    "Die zuletzt importierten Adressen wurden nicht gelöscht; deshalb wurde nichts importiert.";
std::string importRefused(const std::string& datenbank);
std::string importQuestion(long long count, const std::string& datenbank, bool fromCancelledRun);
// Added to the import's question when some staged addresses are in Adressen already.
std::string onlyNewQuestion(long long alreadyImported, long long fresh);
// Added to the import's question when Adressen cannot tell which are.
inline constexpr std::string_view kAlreadyImportedUnknown =
    "Ob einige dieser Adressen bereits früher importiert wurden, lässt sich nicht feststellen: Die Tabelle "
    "Adressen hat keine Spalte fremdid.";
// afterwards: the paragraphs on what the failure left, each after an empty line.
std::string importFailed(const std::string& databaseText, const std::string& afterwards);
std::string nothingImportedNorDeleted(const std::string& from, const std::string& to);
std::string importWithoutRecord(const std::string& settingsFailure);
std::string recordOfOtherDatenpool(const std::string& foreign, const std::string& opened);
std::string recordWithoutDatenpool(const std::string& opened, bool wouldBe);
std::string undoPreviousQuestion(const std::string& from, const std::string& to, const std::string& warning);
std::string deletedAgain(const std::string& from, const std::string& to);
std::string imported(long long count, const std::string& from, const std::string& to);
std::string leftOutAsImported(long long count);
std::string maintenanceFailed(const std::string& databaseText);
std::string idsNotWhole(const std::string& from, const std::string& to, std::string_view consequence);
std::string foreignRecordRefusal(const std::string& from, const std::string& to, const std::string& foreign,
                                 const std::string& opened);
std::string previousNotDeleted(const std::string& databaseText);
std::string stagingChanged(std::int64_t staged, long long confirmed, const std::string& nothingImported);
std::string importTakenBack(const std::string& settled, const std::string& settingsFailure);
std::string importRecordedDespiteFailure(const std::string& from, const std::string& to);
std::string importUnrecordedDespiteFailure(const std::string& from, const std::string& to,
                                           const std::string& settingsFailure);
std::string previousRecordNotRestored(const std::string& from, const std::string& to,
                                      const std::string& settingsFailure);
std::string importUndetermined(const std::string& databaseText);

// The undo.
inline constexpr std::string_view kNoAddressesDeleted = "Es wurden keine Adressen gelöscht.";
inline constexpr std::string_view kNoImportRecordedWarning =
    "\r\n\r\nAchtung: Es ist kein Import verzeichnet; diese IDs stammen nicht aus einem Import.";
inline constexpr std::string_view kRecordStays = "Der Import bleibt verzeichnet. ";
std::string undoRefused(const std::string& datenbank);
// "IDs 101 bis 150"
std::string idsOf(std::int64_t first, std::int64_t last);
std::string notLastImport(const std::string& ids);
// What the deletion takes away, and the question: "Hierdurch werden 3 Adressen mit IDs 4 bis 9 …"
std::string undoQuestion(std::int64_t count, std::int64_t lowest, std::int64_t highest, const std::string& ids,
                         const std::string& datenbank, const std::string& warning);
// restoreFailure: what became of the recorded range, when it could not be put back.
std::string undoFailed(const std::string& databaseText, const std::string& restoreFailure = {});
std::string otherImportRecorded(const std::string& from, const std::string& to);
std::string rangeNotClearable(const std::string& settingsFailure);
std::string rangeNotRestored(const std::string& settingsFailure);
std::string recordHalfCleared(const std::string& from, const std::string& to);
std::string recordNotCleared(const std::string& recordState, const std::string& settingsFailure);

// The check of a Datenpool before the migration.
inline constexpr std::string_view kSubjectConnection = "Verbindung";
inline constexpr std::string_view kSubjectRights = "Rechte";
inline constexpr std::string_view kSubjectLocks = "Sperren";
inline constexpr std::string_view kSubjectTrial = "Probe";
inline constexpr std::string_view kTrialSkippedNoTable = "ausgelassen: AdressenImport fehlt";
inline constexpr std::string_view kTrialSkippedLocked = "ausgelassen: der Datenpool ist gerade gesperrt";
std::string notCheckable(const std::string& why);
std::string trialProblems(std::int64_t count, const std::string& first);
std::string trialShort(const std::string& records, const std::string& saved, const std::string& problems);
std::string trialDone(const std::string& saved, const std::string& duration, const std::string& rate,
                      const std::string& problems);
std::string adrCounted(const std::string& directory, const std::string& count, std::int64_t records);
std::string adrDuration(const std::string& counted, const std::string& duration);
std::string adrWithoutData(const std::string& directory);
// "etwa 3 Minuten", "etwa 1 Stunde 20 Minuten", "unter 1 Sekunde".
std::string durationText(double seconds);

// Columns the program writes, judged against the script's.
inline constexpr std::string_view kTableMissing = "fehlt. Führen Sie das Datenbankskript aus (db/schema).";
inline constexpr std::string_view kMissing = "fehlt";
std::string notANumberColumn(const std::string& type);
std::string noTextColumn(const std::string& type);
std::string columnTooShort(const std::string& type, std::size_t longest);
std::string idColumnProblem(const std::string& problem);
std::string idNotANumber(const std::string& type);
std::string columnProblem(const std::string& problem);
std::string columnsFit(std::size_t count, const std::string& typeNote);

// The Windows window.
inline constexpr std::string_view kPathNotText = "Der gewählte Pfad ist kein gültiger Text.";
// A system error that Windows has no text for.
std::string systemError(unsigned long code);

}  // namespace app::texts

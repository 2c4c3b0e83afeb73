#pragma once
// The db layer's texts for the user: messages of the Datenpool's connections, tables and row
// sets on both backends, and the findings of the check. A text with values is assembled whole
// by its function here, so that a sentence never stands split over files.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace db::texts {

// What is missing in the Datenpool: said before the database's own text, with what to do.
std::string tableMissing(std::string_view table, std::string_view databaseSays = {});
std::string routineMissing(std::string_view routine);
std::string fieldMissing(std::string_view field, std::string_view table);
std::string fieldMissing(std::string_view field);
std::string fieldNumberMissing(int field);
inline constexpr std::string_view kNoCurrentRecord = "Kein aktueller Datensatz.";
inline constexpr std::string_view kNoFields = "Keine Felder.";
std::string notATable(std::string_view source);
std::string noProperty(std::string_view name);

// Values and records the Datenpool did not take.
std::string textTooLong(std::string_view field, std::size_t length, std::size_t most, std::string_view text);
std::string recordAlreadyWritten(std::string_view record);
std::string noPrimaryKey(std::string_view table);
std::string recordNotSaved(std::string_view record, std::string_view why);
std::string recordsNotSaved(std::size_t count);
std::string moreNotSaved(std::size_t count);
inline constexpr std::string_view kRecordWithoutValues = "ohne Werte";
std::string writeFailedUnnamed(std::string_view why);

// Transactions, locks and stops.
inline constexpr std::string_view kStatementStopped = "Die Anweisung an den Datenpool wurde abgebrochen (Strg+C).";
inline constexpr std::string_view kTransactionEnded =
    "Die Transaktion ist abgebrochen; bis zu ihrem Ende wird nichts mehr geschrieben.";
std::string transactionEnded(std::string_view why);
inline constexpr std::string_view kImportLockOutsideTransaction =
    "Die Importsperre gibt es nur innerhalb einer Transaktion.";
std::string importLockRefused(std::int64_t status);
std::string waitForLockStopped(std::string_view file, std::string_view why);
std::string datenpoolLocked(std::string_view file, std::string_view why);

// Opening the Datenpool and the drivers.
inline constexpr std::string_view kOutOfMemory = "Nicht genügend Arbeitsspeicher.";
inline constexpr std::string_view kNoDataSource =
    "Der Datenquellenname wurde nicht gefunden, und es wurde kein Standardtreiber angegeben.";
std::string providerNotFound(std::string_view provider);
inline constexpr std::string_view kNoDriverManager = "Der ODBC-Treibermanager lässt sich nicht laden.";
inline constexpr std::string_view kDriverErrorWithoutText = "Der ODBC-Treiber meldet einen Fehler ohne Beschreibung.";
std::string datenpoolDoesNotExist(std::string_view path);
std::string datenpoolCannotOpen(std::string_view path, std::string_view why);
std::string notADatenpool(std::string_view file, std::string_view why);
std::string damagedDatabase(std::string_view why);
inline constexpr std::string_view kDatabaseWithoutTables = "die Datenbank enthält keine Tabellen.";
std::string fileExists(std::string_view path);
std::string datenpoolReplaced(std::string_view path);
std::string datenpoolReadOnly(std::string_view path);
inline constexpr std::string_view kNoSurveyForConnection = "Diese Verbindung lässt sich nicht prüfen.";

// Why the Datenpool takes no writes.
inline constexpr std::string_view kFileNotWritable = "die Datei lässt sich nicht beschreiben";
std::string folderTakesNoJournal(std::string_view folder);
inline constexpr std::string_view kOpenedForReading = "SQLite hat die Datei nur zum Lesen geöffnet";
inline constexpr std::string_view kDataSourceReadOnly = "der ODBC-Treiber meldet die Datenquelle als schreibgeschützt";
inline constexpr std::string_view kDatabaseSetReadOnly = "der Datenpool ist auf READ_ONLY gestellt";

// A path too long to open: a name in it, or the whole path.
#ifdef _WIN32
inline constexpr std::string_view kLengthUnit = "Zeichen";
#else
inline constexpr std::string_view kLengthUnit = "Byte";
#endif
std::string nameTooLong(std::size_t length, std::size_t most);
std::string pathTooLongForSqlite(std::size_t length, std::size_t most);
std::string pathTooLongForSystem(std::size_t length, std::size_t most);

// The check's subjects.
inline constexpr std::string_view kSubjectDatenpool = "Datenpool";
inline constexpr std::string_view kSubjectEncryption = "Verschlüsselung";
inline constexpr std::string_view kSubjectRights = "Rechte";
inline constexpr std::string_view kSubjectLocks = "Sperren";
inline constexpr std::string_view kSubjectDriver = "Treiber";
inline constexpr std::string_view kSubjectServer = "Server";

// The check's findings on the connection.
std::string embedded(std::string_view version);
inline constexpr std::string_view kUnnamed = "nennt sich nicht";
std::string sqliteFileEncryption(std::string_view file);
inline constexpr std::string_view kOdbcEncryptionUnknown =
    "ob die Verbindung verschlüsselt ist, sagt ODBC bei diesem Datenbanksystem nicht; fragen Sie den Betreuer des "
    "Servers.";
inline constexpr std::string_view kNotGiven = "(nicht angegeben)";
std::string encryptionNotVisible(std::string_view asked);
std::string notEncrypted(std::string_view asked);
inline constexpr std::string_view kFreeTdsEncrypted =
    "die Verbindung ist verschlüsselt; FreeTDS prüft das Zertifikat des Servers nur, wenn freetds.conf die "
    "Zertifizierungsstellen nennt (\"ca file\").";
std::string certificateChecked(std::string_view asked);
std::string certificateNotChecked(std::string_view asked);

// The check's findings on tables and routines.
inline constexpr std::string_view kSqliteTypes =
    "SQLite kennt nur Typ-Affinitäten; die Länge eines VARCHAR(n) hält das Programm selbst ein";
std::string routinesTableUnreadable(std::string_view why);
inline constexpr std::string_view kRoutineNotInTable =
    "fehlt in der Tabelle Routinen. Führen Sie das aktuelle Datenbankskript aus.";
inline constexpr std::string_view kRoutineInTable =
    "in der Tabelle Routinen hinterlegt; das Programm führt sie im Datenpool selbst aus";
inline constexpr std::string_view kOdbcRoutineMissing =
    "fehlt (oder diese Anmeldung sieht sie nicht). Führen Sie das Datenbankskript aus.";
inline constexpr std::string_view kOdbcRoutinePresent =
    "vorhanden; ob diese Anmeldung sie ausführen darf, sagt ODBC bei diesem Datenbanksystem nicht";
inline constexpr std::string_view kSqlServerRoutineMissing =
    "fehlt, ist keine gespeicherte Prozedur oder ist für diese Anmeldung unsichtbar. Führen Sie "
    "db/schema/datenpool.sqlserver.sql aus oder geben Sie das Recht EXECUTE.";
std::string routineNotExecutable(std::string_view routine);
inline constexpr std::string_view kRoutineExecutable = "vorhanden, diese Anmeldung darf sie ausführen";
std::string notAsked(std::string_view why);
std::string rightsNotAsked(std::string_view why);

// The check's findings on rights.
std::string fileWritable(std::string_view file);
std::string fileReadOnly(std::string_view file);
std::string folderWritable(std::string_view folder);
std::string folderReadOnly(std::string_view folder);
inline constexpr std::string_view kOdbcRightsUnknown =
    "lassen sich bei diesem Datenbanksystem nicht erfragen; die Probe unten schreibt in AdressenImport, Import und "
    "Rückgängigmachen zeigen sich erst beim ersten Lauf";
inline constexpr std::string_view kRightEmptyStaging = "AdressenImport leeren (TRUNCATE TABLE)";
inline constexpr std::string_view kRightWriteStaging = "AdressenImport beschreiben und lesen";
inline constexpr std::string_view kRightDeleteImport = "Adressen lesen und den letzten Import löschen";
inline constexpr std::string_view kRightReseed = "den ID-Zähler von Adressen zurücksetzen (DBCC CHECKIDENT)";
inline constexpr std::string_view kRightReseedGrant =
    "Besitz des Schemas von Adressen, oder die Rolle db_owner oder db_ddladmin";
inline constexpr std::string_view kRightMaintenance = "Statistiken von Adressen erneuern (Datenpflege des Skripts)";
inline constexpr std::string_view kRightSetAside =
    "bereits importierte Adressen beim Import beiseitelegen (nur neue importieren)";
std::string rightMissing(std::string_view right, std::string_view grant);

// The check's findings on locks.
std::string locksNotChecked(std::string_view why);
inline constexpr std::string_view kOtherProgramWriting =
    "ein anderes Programm schreibt gerade in den Datenpool; jetzt ließe sich nichts konvertieren. Warten Sie, bis es "
    "fertig ist, oder beenden Sie es.";
inline constexpr std::string_view kOtherProgramReading =
    "ein anderes Programm liest gerade im Datenpool (eine offene Transaktion); eine Konvertierung könnte ihre "
    "Adressen nicht speichern. Beenden Sie das andere Programm.";
inline constexpr std::string_view kWriteLockFree =
    "kein anderes Programm hält den Datenpool gerade; die Schreibsperre ist frei";
inline constexpr std::string_view kNoSessionLocks = "keine andere Sitzung sperrt AdressenImport oder Adressen";
std::string sessionLock(std::int64_t session, std::string_view mode, std::string_view table);
std::string sessionsLock(std::string_view locks);
std::string locksNotVisible(std::string_view why);
inline constexpr std::string_view kOdbcLocksUnknown = "lassen sich bei diesem Datenbanksystem nicht erfragen";

}  // namespace db::texts

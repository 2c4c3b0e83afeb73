#include "db/Texts.h"

namespace db::texts {

namespace {

std::string quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

std::string inParentheses(std::string_view why) { return " (" + std::string(why) + ")"; }

std::string tooLong(std::string_view what, std::size_t length, std::string_view limit, std::size_t most,
                    std::string_view unit) {
    const std::string units = " " + std::string(unit);
    return std::string(what) + " ist " + std::to_string(length) + units + " lang, " + std::string(limit) +
           " höchstens " + std::to_string(most) + units + ". Bitte einen kürzeren Pfad wählen.";
}

}  // namespace

std::string tableMissing(std::string_view table, std::string_view databaseSays) {
    const std::string sentence =
        "Im Datenpool fehlt die Tabelle " + std::string(table) + "; das Datenbankskript legt sie an.";
    return databaseSays.empty() ? sentence : sentence + inParentheses(databaseSays);
}

std::string routineMissing(std::string_view routine) {
    return "Im Datenpool fehlt die Routine " + std::string(routine) + "; das Datenbankskript legt sie an.";
}

std::string fieldMissing(std::string_view field, std::string_view table) {
    return "Das Feld " + quoted(field) + " fehlt in der Tabelle " + quoted(table) + ".";
}

std::string fieldMissing(std::string_view field) { return "Das Feld " + quoted(field) + " fehlt."; }

std::string fieldNumberMissing(int field) { return "Das Feld Nr. " + std::to_string(field) + " fehlt."; }

std::string notATable(std::string_view source) {
    return quoted(source) + " nennt keine Tabelle, die sich bearbeiten lässt.";
}

std::string noProperty(std::string_view name) { return "Die Verbindung hat keine Eigenschaft " + quoted(name) + "."; }

std::string textTooLong(std::string_view field, std::size_t length, std::size_t most, std::string_view text) {
    return "Der Text für das Feld " + quoted(field) + " ist " + std::to_string(length) +
           " Zeichen lang; das Feld fasst höchstens " + std::to_string(most) + " Zeichen: " + std::string(text);
}

std::string recordAlreadyWritten(std::string_view record) {
    return "Der Datensatz " + std::string(record) + " ist schon geschrieben und lässt sich nicht mehr ändern.";
}

std::string noPrimaryKey(std::string_view table) {
    return "Die Tabelle " + quoted(table) +
           " hat keinen Primärschlüssel; der ausgewählte Datensatz lässt sich nicht ändern.";
}

std::string recordNotSaved(std::string_view record, std::string_view why) {
    return "Der Datensatz " + std::string(record) + " wurde nicht gespeichert: " + std::string(why);
}

std::string recordsNotSaved(std::size_t count) {
    return std::to_string(count) + " Datensätze wurden nicht gespeichert:";
}

std::string moreNotSaved(std::size_t count) { return "… und " + std::to_string(count) + " weitere"; }

std::string writeFailedUnnamed(std::string_view why) {
    return "Das Schreiben schlug fehl, ohne einen Datensatz zu nennen; welche Datensätze gespeichert sind, ist "
           "ungewiss; die Transaktion wird darum nicht fortgesetzt: " +
           std::string(why);
}

std::string transactionEnded(std::string_view why) { return std::string(kTransactionEnded) + inParentheses(why); }

std::string importLockRefused(std::int64_t status) {
    const std::string_view why = status == -1   ? "Ein anderer Arbeitsplatz importiert gerade Adressen in diesen "
                                                  "Datenpool oder löscht sie wieder; das Warten darauf lief ab. Bitte "
                                                  "später erneut versuchen."
                                 : status == -3 ? "Der Datenpool hat das Warten darauf als Verklemmung beendet. Bitte "
                                                  "erneut versuchen."
                                                : "Der Datenpool hat sie verweigert.";
    return "Die Importsperre des Datenpools ließ sich nicht erlangen. " + std::string(why) +
           " (sp_getapplock: " + std::to_string(status) + ")";
}

std::string waitForLockStopped(std::string_view file, std::string_view why) {
    return "Das Warten auf den Datenpool " + quoted(file) +
           ", den ein anderes Programm gerade gesperrt hält, wurde abgebrochen." + inParentheses(why);
}

std::string datenpoolLocked(std::string_view file, std::string_view why) {
    return "Der Datenpool " + quoted(file) +
           " ist gesperrt, weil ein anderes Programm gerade darin arbeitet. Bitte später erneut versuchen." +
           inParentheses(why);
}

std::string providerNotFound(std::string_view provider) {
    return "Der Provider " + quoted(provider) +
           " wurde nicht gefunden. Er ist möglicherweise nicht ordnungsgemäß installiert.";
}

std::string datenpoolDoesNotExist(std::string_view path) {
    return "Der Datenpool " + quoted(path) + " existiert nicht.";
}

std::string datenpoolCannotOpen(std::string_view path, std::string_view why) {
    return "Der Datenpool " + quoted(path) + " lässt sich nicht öffnen: " + std::string(why);
}

std::string notADatenpool(std::string_view file, std::string_view why) {
    return "Die Datei " + quoted(file) + " ist kein Datenpool: " + std::string(why);
}

std::string damagedDatabase(std::string_view why) {
    return "keine oder eine beschädigte SQLite-Datenbank" + inParentheses(why) + ".";
}

std::string fileExists(std::string_view path) { return "Die Datei " + quoted(path) + " gibt es schon."; }

std::string datenpoolReplaced(std::string_view path) {
    return "Der Datenpool " + quoted(path) +
           " wurde gelöscht oder ersetzt, seit das Programm ihn geöffnet hat; in die Datei, die es jetzt gibt, wurde "
           "nichts geschrieben. Bitte das Programm neu starten.";
}

std::string datenpoolReadOnly(std::string_view path) {
    return "Der Datenpool " + quoted(path) + " ist schreibgeschützt.";
}

std::string folderTakesNoJournal(std::string_view folder) {
    return "im Ordner \"" + std::string(folder) +
           "\" lässt sich keine Datei anlegen; dort legt der Datenpool beim Schreiben sein Journal an";
}

std::string nameTooLong(std::size_t length, std::size_t most) {
    return tooLong("ein Name darin", length, "das Dateisystem erlaubt", most, kLengthUnit);
}

std::string pathTooLongForSqlite(std::size_t length, std::size_t most) {
    return tooLong("der Pfad", length, "die Datenbank (SQLite) öffnet", most, "Byte");
}

std::string pathTooLongForSystem(std::size_t length, std::size_t most) {
#ifdef _WIN32
    return tooLong("der Pfad", length, "Windows öffnet", most, kLengthUnit);
#else
    return tooLong("der Pfad", length, "das Betriebssystem öffnet", most, kLengthUnit);
#endif
}

std::string embedded(std::string_view version) { return std::string(version) + ", eingebettet"; }

std::string sqliteFileEncryption(std::string_view file) {
    return "keine Netzverbindung zu einem Server: der Datenpool ist die Datei " + std::string(file) +
           "; wer sie lesen darf, regeln die Rechte der Datei und ihres Ordners.";
}

std::string encryptionNotVisible(std::string_view asked) {
    return "ob die Verbindung verschlüsselt ist, darf diese Anmeldung nicht erfragen (sys.dm_exec_connections braucht "
           "VIEW SERVER STATE); verlangt ist " +
           std::string(asked);
}

std::string notEncrypted(std::string_view asked) {
    return "die Verbindung ist NICHT verschlüsselt: Anmeldung und Adressen gehen lesbar durchs Netz" +
           inParentheses(asked) +
           ". Im Datenbankprofil \"Use Encryption for Data\"=\"True\" eintragen oder die Verschlüsselung am Server "
           "erzwingen.";
}

std::string certificateChecked(std::string_view asked) {
    return "die Verbindung ist verschlüsselt, das Zertifikat des Servers wird geprüft" + inParentheses(asked);
}

std::string certificateNotChecked(std::string_view asked) {
    return "die Verbindung ist verschlüsselt, aber das Zertifikat des Servers wird nicht geprüft" +
           inParentheses(asked) +
           ": ein anderer Rechner im Netz könnte sich als Server ausgeben. Richten Sie am Server ein Zertifikat einer "
           "Stelle ein, der dieser Rechner vertraut, und nehmen Sie \"Trust Server Certificate\" aus dem Profil.";
}

std::string routinesTableUnreadable(std::string_view why) {
    return "die Tabelle Routinen lässt sich nicht lesen" + inParentheses(why) +
           ". Führen Sie das aktuelle Datenbankskript aus.";
}

std::string routineNotExecutable(std::string_view routine) {
    return "vorhanden, aber diese Anmeldung darf sie nicht ausführen: GRANT EXECUTE ON " + std::string(routine) +
           " TO <Anmeldung>.";
}

std::string notAsked(std::string_view why) { return "ließ sich nicht erfragen" + inParentheses(why); }

std::string rightsNotAsked(std::string_view why) { return "ließen sich nicht erfragen" + inParentheses(why); }

std::string fileWritable(std::string_view file) { return "die Datei " + std::string(file) + " ist beschreibbar"; }

std::string fileReadOnly(std::string_view file) {
    return "die Datei " + std::string(file) +
           " ist schreibgeschützt: nichts ließe sich konvertieren, importieren oder löschen. Geben Sie diesem Benutzer "
           "das Recht, sie zu ändern.";
}

std::string folderWritable(std::string_view folder) {
    return "im Ordner " + std::string(folder) + " lassen sich Dateien anlegen";
}

std::string folderReadOnly(std::string_view folder) {
    return "im Ordner " + std::string(folder) +
           " lässt sich keine Datei anlegen: SQLite legt beim Schreiben ein Journal neben den Datenpool. Geben Sie "
           "diesem Benutzer das Recht, in dem Ordner Dateien anzulegen.";
}

std::string rightMissing(std::string_view right, std::string_view grant) {
    return std::string(right) + ": fehlt dieser Anmeldung; nötig ist " + std::string(grant) + ".";
}

std::string locksNotChecked(std::string_view why) { return "ließen sich nicht prüfen: " + std::string(why); }

std::string sessionLock(std::int64_t session, std::string_view mode, std::string_view table) {
    return "Sitzung " + std::to_string(session) + " " + std::string(mode) + " auf " + std::string(table);
}

std::string sessionsLock(std::string_view locks) {
    return "andere Sitzungen sperren die Tabellen gerade" + inParentheses(locks) +
           "; eine Konvertierung oder ein Import warteten jetzt darauf. Beenden Sie die Transaktion der Sitzung "
           "(sys.dm_exec_sessions nennt Rechner und Programm).";
}

std::string locksNotVisible(std::string_view why) {
    return "ließen sich nicht erfragen; sys.dm_tran_locks braucht VIEW SERVER STATE" + inParentheses(why);
}

}  // namespace db::texts

#pragma once
// The review layer's texts for the user: the counts line of a run, the report's columns, outcomes
// and notes. A text with values is assembled whole by its function here.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/Value.h"
#include "review/RecordCounts.h"

namespace review::texts {

// "1.234 Datensätze gelesen: 1.200 gespeichert, 34 verworfen; 56 Hinweise; 12 mögliche Dubletten; 0 Adressdateien
// fehlen oder sind unlesbar." With records of unknown outcome the saved count is said to be unknown, and where to
// look; the likely duplicates only when the records were checked for them.
std::string countsLine(const RecordCounts& counts, std::string_view groupSeparator);

// The report's columns.
const std::vector<std::string>& reportColumns();

// A record's outcome in the report.
// The report's first sheet in a workbook.
inline constexpr std::string_view kReportSheet = "Bericht";
inline constexpr std::string_view kSaved = "gespeichert";
inline constexpr std::string_view kDiscarded = "verworfen";
inline constexpr std::string_view kUnknown = "unbekannt";
inline constexpr std::string_view kFileMissing = "fehlt";
inline constexpr std::string_view kFileUnreadable = "unlesbar";

// The report's notes on a record.
std::string lineCut(std::uint64_t line, std::size_t kept, std::uint64_t characters);
inline constexpr std::string_view kNotInTable = "nicht in AdressenImport gespeichert";
std::string notLookedUp(std::string_view why);
std::string notPaired(std::string_view why, std::int64_t saved, std::int64_t unpaired);
inline constexpr std::string_view kPairingGivenUp =
    "mehr als 1000 Tabellenzeilen in AdressenImport gehören zu keinem Datensatz dieses Laufs";

// Implausible values of a record; postfach: the postal code is the post-office box's.
std::string oldPostalCode(std::string_view code, bool postfach);
std::string postalCodeNotFiveDigits(std::string_view code, bool postfach);
std::string notAnEmail(std::string_view address);
inline constexpr std::string_view kTelefon1 = "Telefonnummer";
inline constexpr std::string_view kTelefon2 = "Zweite Telefonnummer";
inline constexpr std::string_view kTelefax = "Faxnummer";
std::string phoneWithLetters(std::string_view which, std::string_view number);
std::string birthDateInFuture(const db::Date& date);
std::string birthDateTooOld(const db::Date& date);
std::string notABankCode(std::string_view code);
std::string notAnAccount(std::string_view account);
std::string notAnIban(std::string_view iban);

// Likely duplicates: the other record, and what the two have in common.
std::string recordNamed(std::string_view file, std::string_view line, std::string_view number);
std::string addressNamed(std::int64_t id);
std::string likelyDuplicate(std::string_view other, bool sameAddress, bool samePhone);
inline constexpr std::string_view kMoreDuplicate = "weitere mögliche Dublette";
inline constexpr std::string_view kMoreDuplicates = "weitere mögliche Dubletten";
inline constexpr std::string_view kNotEveryRowChecked =
    "Nicht jede Adresse ließ sich prüfen (der Arbeitsspeicher reichte nicht); es fehlen Hinweise auf "
    "unplausible Werte und mögliche Dubletten.";
inline constexpr std::string_view kDuplicatesNotAllFound =
    "Die Arbeitsdatei der möglichen Dubletten ließ sich nicht vollständig schreiben oder lesen; nicht alle "
    "möglichen Dubletten sind im Bericht genannt.";

// The workbook: its second sheet, and what writing it can meet.
inline constexpr const char kSummarySheet[] = "Zusammenfassung";
std::string workbookNotBegun(std::string_view path);
std::string workbookNotWritten(std::string_view path, std::string_view what, std::string_view reason);
std::string textCut(std::uint64_t row, std::string_view column, std::size_t kept, std::size_t characters);

// What a cell's parts left out are called, and the count of them at its end.
inline constexpr std::string_view kMoreNote = "weiterer Hinweis";
inline constexpr std::string_view kMoreNotes = "weitere Hinweise";
inline constexpr std::string_view kMoreLine = "weitere Zeile";
inline constexpr std::string_view kMoreLines = "weitere Zeilen";
std::string leftOut(std::int64_t count, std::string_view one, std::string_view many);

// A report cut short.
inline constexpr std::string_view kReportIncomplete = "Bericht unvollständig";
std::string reportCutShort(bool writeFailed, std::int64_t reported, std::int64_t recordsRead);

}  // namespace review::texts

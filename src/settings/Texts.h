#pragma once
// Every text of the settings store that a user reads, in one place: fixed texts as constants,
// texts with values as functions that answer the whole sentence.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace settings::texts {

// Where the values are kept.
std::string fileLocation(std::string_view file);
inline constexpr std::string_view kWindowsRegistryLocation = "Windows-Registrierung (HKEY_CURRENT_USER)";

// The settings file as a whole.
std::string fileUnreadable(std::string_view file);
std::string fileFaultyAtLine(std::string_view file, std::size_t line, std::string_view reason);
std::string noPlaceForFile(std::string_view variable);

// Why a line of the settings file is faulty.
inline constexpr std::string_view kInvalidUtf16 = "ungültiges UTF-16";
inline constexpr std::string_view kOddUtf16Length = "ungültiges UTF-16 (ungerade Anzahl Bytes)";
inline constexpr std::string_view kBigEndianUtf16 = "UTF-16 mit umgekehrter Bytefolge wird nicht gelesen";
inline constexpr std::string_view kInvalidUtf8 = "ungültiges UTF-8";
std::string headerMissing(std::string_view header);
inline constexpr std::string_view kValueBeforeFirstKey = "Wert vor dem ersten Schlüssel";
inline constexpr std::string_view kKeyBracketMissing = "die schließende Klammer des Schlüssels fehlt";
std::string unknownRootKey(std::string_view name);
std::string unknownEscape(char escaped);
inline constexpr std::string_view kClosingQuoteMissing = "das schließende Anführungszeichen fehlt";
inline constexpr std::string_view kUnintelligibleLine = "unverständliche Zeile";
inline constexpr std::string_view kEqualsSignMissing = "das Gleichheitszeichen nach dem Wertnamen fehlt";
inline constexpr std::string_view kTextAfterClosingQuote = "Zeichen nach dem schließenden Anführungszeichen";
inline constexpr std::string_view kInvalidDword = "ungültiger dword-Wert";
inline constexpr std::string_view kInvalidHexType = "ungültige Typangabe hex(...)";
inline constexpr std::string_view kUnknownValueKind = "unbekannte Art des Werts";
std::string invalidHexByte(std::string_view token);
inline constexpr std::string_view kHexContinuationMissing = "die Fortsetzungszeile der hex-Daten fehlt";

// A registry status, as statusText words it.
inline constexpr std::string_view kNotFound = "nicht gefunden";
inline constexpr std::string_view kAccessDenied = "Zugriff verweigert";
inline constexpr std::string_view kInvalidHandle = "ungültiges Handle";
inline constexpr std::string_view kInvalidValue = "ungültiger Wert";
inline constexpr std::string_view kInvalidKeyPath = "ungültiger Schlüsselpfad";
inline constexpr std::string_view kNotWritten = "Die Einstellungen ließen sich nicht schreiben";
inline constexpr std::string_view kKeyDeleted = "Schlüssel gelöscht";
inline constexpr std::string_view kWaitCancelled = "Warten auf die Einstellungen abgebrochen";
inline constexpr std::string_view kNotInWindows1252 =
    "ein Zeichen, das die REGEDIT4-Datei (Windows-1252) nicht aufnehmen kann; nichts wurde geschrieben";
std::string errorCode(std::int32_t status);
std::string statusWithCode(std::string_view text, std::int32_t status);

// A value the program cannot read as text; keyPath from its root key on.
std::string unusableValue(std::string_view keyPath, std::string_view valueName, std::string_view typeName);

}  // namespace settings::texts

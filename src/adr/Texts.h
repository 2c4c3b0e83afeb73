#pragma once
// The adr layer's texts for the user: messages of the reader and the mapper, and their notes on
// a record for the migration report. A text with values is assembled whole by its function here.

#include <cstdint>
#include <string>
#include <string_view>

namespace adr::texts {

// The address files.
std::string fileNotFound(std::string_view path);
std::string directoryNotFile(std::string_view path);
std::string notARegularFile(std::string_view path);
std::string fileCannotOpen(std::string_view path);
std::string fileReadFailed(std::string_view path);
std::string addressNumberNotFound(std::int32_t number);
std::string where(std::string_view file, std::uint64_t line);

// The staging table.
std::string stagingNotEmptied(std::string_view why);
std::string stagingNotWritable(std::string_view why);

// What the reader tells of a line or a run.
std::string nulBytes(std::uint64_t count, std::uint64_t firstColumn);
std::string tooManyAddresses(std::int32_t count);

// Notes on a record.
inline constexpr std::string_view kNotSaved = "vom Datenpool nicht gespeichert";
std::string notSaved(std::string_view why);
std::string endsAtFileEnd(std::uint64_t lines);
inline constexpr std::string_view kDroppedOnCancel = "beim Abbruch der Konvertierung verworfen";
inline constexpr std::string_view kDroppedWithoutSurname = "ohne Nachname verworfen";

}  // namespace adr::texts

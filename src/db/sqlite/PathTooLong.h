#pragma once
// Why a Datenpool path cannot be opened for its length alone: a name in it longer than the file
// system allows, or the whole longer than SQLite or the operating system open. Asked only once
// an opening failed, so that no path is refused that would open.

#include <optional>
#include <string>

namespace db {

// The reason in German ("der Pfad ist 600 Byte lang, …"); nothing when the length is no reason.
std::optional<std::string> pathTooLong(const std::string& path);

}  // namespace db

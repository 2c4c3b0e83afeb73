#pragma once
// RAMicroAdresseEinlesen: converts one address, given by its RA-MICRO number, from the file
// that holds it ("45A" for 745) into the staging table. The record is the one whose header
// line's leading number equals the number; the staging row whose fremdid equals it is
// updated, or a new one is added. It handles no errors itself: they reach the caller.

#include <cstdint>
#include <string>

#include "adr/ByteSource.h"

namespace db {
class Connection;
}

namespace adr {

class ConversionEvents;
class FieldMapper;

// Answers false when the file holds no such address ("Adressnummer … nicht gefunden" shown).
bool readSingleAddress(db::Connection& connection, FieldMapper& mapper, ConversionEvents& events,
                       const std::string& directory, std::int32_t addressNumber, const FileOpener& opener = openFile);

}  // namespace adr

#pragma once
// The salutation number (AnredeNr) chooses the default salutation word and the default
// letter salutation of an address.

#include <string>
#include <string_view>

namespace adr {

// "Herrn", "Frau", … for 1 to 8; the empty text for every other number.
std::string defaultAnrede(int anredeNr);
// "Sehr geehrter Herr " + nachname + ",", …; "Sehr geehrte Damen und Herren," outside 1 to 8.
std::string defaultBriefanrede(int anredeNr, std::string_view nachname);

}  // namespace adr

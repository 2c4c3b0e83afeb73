#include "adr/Salutation.h"

namespace adr {

std::string defaultAnrede(int anredeNr) {
    switch (anredeNr) {
        case 1: return "Herrn";
        case 2:
        case 3: return "Frau";
        case 4: return "Firma";
        case 5: return "Rechtsanwalt";
        case 6: return "Rechtsanwälte";
        case 7: return "Rechtsanwältin";
        case 8: return "Herrn und Frau";
        default: return {};
    }
}

std::string defaultBriefanrede(int anredeNr, std::string_view nachname) {
    const std::string name(nachname);
    switch (anredeNr) {
        case 1: return "Sehr geehrter Herr " + name + ",";
        case 2:
        case 3: return "Sehr geehrte Frau " + name + ",";
        case 5: return "Sehr geehrter Herr Kollege " + name + ",";
        case 6: return "Sehr geehrte Kollegen,";
        case 7: return "Sehr geehrte Frau Kollegin " + name + ",";
        case 8: return "Sehr geehrte Frau " + name + ", sehr geehrter Herr " + name + ",";
        default: return "Sehr geehrte Damen und Herren,";
    }
}

}  // namespace adr

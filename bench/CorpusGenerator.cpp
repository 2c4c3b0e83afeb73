#include "CorpusGenerator.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "adr/AddressFiles.h"
#include "adr/CharTable.h"

namespace bench {

namespace {

const std::vector<std::string> kSurnames = {
    "Müller",   "Schmidt",    "Schneider", "Fischer", "Weber",   "Meyer",    "Wagner", "Becker",   "Schulz",
    "Hoffmann", "Schäfer",    "Koch",      "Bauer",   "Richter", "Klein",    "Wolf",   "Schröder", "Neumann",
    "Schwarz",  "Zimmermann", "Braun",     "Krüger",  "Hofmann", "Hartmann", "Lange",  "Köhler",   "König",
    "Weiß",     "Jäger",      "Groß",      "Böhm",    "Krämer",  "Özdemir",  "Çelik"};
const std::vector<std::string> kFirstNames = {"Hans",   "Jürgen", "Anna",   "Sabine",  "Klaus",
                                              "Käthe",  "Günter", "Ute",    "Peter",   "Monika",
                                              "Stefan", "Jörg",   "Birgit", "Rüdiger", "Eva"};
const std::vector<std::string> kStreets = {"Hauptstr.", "Bahnhofstr.", "Schillerstr.", "Goethestr.", "Lindenallee",
                                           "Am Markt",  "Zur Mühle",   "Königsallee",  "Gartenweg",  "Bergstr."};
const std::vector<std::pair<std::string, std::string>> kPlaces = {
    {"10115", "Berlin"},     {"20095", "Hamburg"},           {"80331", "München"},
    {"50667", "Köln"},       {"60311", "Frankfurt am Main"}, {"70173", "Stuttgart"},
    {"40213", "Düsseldorf"}, {"04109", "Leipzig"},           {"90402", "Nürnberg"},
    {"97070", "Würzburg"}};
const std::vector<std::string> kProfessions = {"Rechtsanwalt", "Kauffrau", "Dipl.-Ing.", "Steuerberater", "Lehrerin"};
const std::vector<std::string> kBanks = {"Sparkasse", "Postbank", "Commerzbank", "Volksbank", "Deutsche Bank"};

// Who a record is and where, as drawn, for a record that repeats it.
struct Person {
    int number = 0;
    std::string surname;
    std::string firstName;
    std::string street;  // with its house number
    std::string plz;
    std::string place;
    std::string phone;
    bool court = false;
};

// A planted value: the lines 4 to 8 it changes from a plain record's, and what it gets noted as
// (nothing for a value that only looks odd).
struct PlantedValue {
    std::string kind;
    std::string birth;  // behind the surname
    std::string plzOrt;
    std::string communication;  // behind the telephone number
    std::string phone;
    std::string bank;
};

const std::vector<PlantedValue> kPlantedValues = {
    {"Postleitzahl", "", "1000 Berlin", "", "", ""},
    {"", "", "A-1010 Wien", "", "", ""},
    {"Postleitzahl", "", "101150 Berlin", "", "", ""},
    {"", "", "D-10115 Berlin", "", "", ""},
    {"E-Mail", "", "", "ÿÿmueller.example.de", "", ""},
    {"", "", "", "ÿÿweiß@example.de", "", ""},
    {"Telefon", "", "", "", "030 privat ", ""},
    {"", "", "", "", "+49 (30) 12-", ""},
    {"Geburtsdatum", "**1.1.2099", "", "", "", ""},
    {"Geburtsdatum", "**1.1.1850", "", "", "", ""},
    {"", "**31.12.1950", "", "", "", ""},
    {"Bankleitzahl", "", "", "", "", "<BN>Sparkasse</BN><BO>Berlin</BO><BZ>1002003</BZ><KT>123456</KT>"},
    {"", "", "", "", "", "<BN>Commerzbank</BN><BO>Berlin</BO><BZ>COBADEFFXXX</BZ><KT>DE89370400440532013000</KT>"},
    {"Kontonummer", "", "", "", "", "<BN>Sparkasse</BN><BO>Berlin</BO><BZ>10020030</BZ><KT>12345678901</KT>"},
    {"IBAN", "", "", "", "", "<BN>Postbank</BN><BO>Berlin</BO><BZ>10010010</BZ><KT>DE89370400440532013001</KT>"}};

// "Müller" as "MUELLER": capitals, umlauts and ß spelled out.
std::string inCapitals(const std::string& name) {
    static const std::vector<std::pair<std::string, std::string>> kSpelled = {{"ä", "AE"}, {"ö", "OE"}, {"ü", "UE"},
                                                                              {"ß", "SS"}, {"Ä", "AE"}, {"Ö", "OE"},
                                                                              {"Ü", "UE"}, {"ç", "C"},  {"Ç", "C"}};
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        bool spelled = false;
        for (const auto& [letter, capitals] : kSpelled) {
            if (name.compare(i, letter.size(), letter) != 0) continue;
            out += capitals;
            i += letter.size();
            spelled = true;
            break;
        }
        if (spelled) continue;
        out += static_cast<char>(name[i] >= 'a' && name[i] <= 'z' ? name[i] - 32 : name[i]);
        ++i;
    }
    return out;
}

class Writer {
public:
    explicit Writer(std::uint32_t seed, bool ownHouseNumbers = false)
        : random_(seed), ownHouseNumbers_(ownHouseNumbers) {
        const adr::CharTable& table = adr::zeichentabelle();
        for (int b = 255; b >= 1; --b)
            bytes_[std::string(table.character(static_cast<unsigned char>(b)))] = static_cast<char>(b);
    }

    std::string record(int number, Person& drawn) {
        std::string out;
        const int salutation = pick(1, 8);
        const std::string surname = of(kSurnames);
        const auto& [plz, place] = kPlaces[static_cast<std::size_t>(pick(0, static_cast<int>(kPlaces.size()) - 1))];
        line(out, std::to_string(number) + "*");
        line(out, chance(60) ? std::to_string(salutation) + "# " + (salutation == 1 ? "Herr " : "Frau ") + surname + ","
                  : chance(50) ? std::to_string(salutation) + "#&Liebe Familie " + surname
                               : std::to_string(salutation));
        std::string field3 = of(kFirstNames);
        drawn.firstName = field3;
        drawn.number = number;
        if (chance(10)) field3 += "<AD>alt</AD>";
        if (chance(20)) field3 += "#" + std::string(salutation == 1 ? "Herrn" : "Frau");
        if (chance(5)) field3 += "ûHRB " + std::to_string(pick(100, 99999)) + " üAmtsgericht " + place;
        line(out, field3);
        drawn.court = chance(3);
        std::string field4 = drawn.court ? std::string(chance(50) ? "Aû " : "Lü ") + place : surname;
        if (chance(15)) field4 += "*geb. " + of(kSurnames);
        if (chance(30))
            field4 += "**" + std::to_string(pick(1, 28)) + "." + std::to_string(pick(1, 12)) + "." +
                      std::to_string(pick(1920, 2005));
        if (chance(20)) field4 += "***" + of(kProfessions);
        if (chance(10)) field4 += "#c/o " + of(kSurnames);
        line(out, field4);
        // Drawn in the order the corpus has always drawn them: the house number first.
        const int house = pick(1, 200);
        const std::string& street = of(kStreets);
        drawn.street = street + " " + std::to_string(ownHouseNumbers_ ? number : house);
        std::string field5 = drawn.street;
        if (chance(10)) field5 += "û" + plz + " " + place + "²" + std::to_string(pick(1000, 99999));
        if (chance(15)) field5 += "•0171 " + std::to_string(pick(1000000, 9999999));
        if (chance(5)) field5 += "·Mandant";
        line(out, field5);
        line(out, chance(5)    ? "1000 " + place + " 31*" + plz
                  : chance(10) ? "<PL>" + plz + "</PL><OR>" + place + "</OR>"
                               : plz + " " + place);
        std::string field7 = "0" + std::to_string(pick(30, 999)) + " " + std::to_string(pick(100000, 9999999));
        drawn.surname = surname;
        drawn.plz = plz;
        drawn.place = place;
        drawn.phone = field7;
        if (chance(40)) field7 += "ÿ0" + std::to_string(pick(30, 999)) + " " + std::to_string(pick(100000, 9999999));
        if (chance(40)) field7 += "ÿÿ" + surname + "@example.de";
        if (chance(10)) field7 += "#Mandant seit " + std::to_string(pick(1980, 2020));
        if (chance(5)) field7 += "*#1#www.example.de";
        line(out, field7);
        if (chance(50)) {
            std::string bank = of(kBanks);
            bank.resize(20, ' ');
            std::string bankPlace = place.substr(0, 10);
            bankPlace.resize(10, ' ');
            std::string code = std::to_string(pick(10000000, 89999999));
            code.resize(10, ' ');
            line(out, bank + bankPlace + code + std::to_string(pick(100000, 999999999)) + (chance(10) ? "#K1" : ""));
        } else if (chance(30)) {
            line(out, "<BN>" + of(kBanks) + "</BN><BO>" + place + "</BO><BZ>" +
                          std::to_string(pick(10000000, 89999999)) + "</BZ><KT>" +
                          std::to_string(pick(100000, 999999999)) + "</KT>");
        } else {
            line(out, "");
        }
        return out;
    }

    // A record that repeats the person: `byPhone` with the same telephone number written
    // "+49 …" at another address, else in capitals at the same address with "Straße".
    std::string repeated(int number, const Person& person, bool byPhone) {
        std::string out;
        line(out, std::to_string(number) + "*");
        line(out, "1");
        line(out, byPhone ? person.firstName : inCapitals(person.firstName));
        line(out, byPhone ? person.surname : inCapitals(person.surname));
        std::string street = person.street;
        if (const std::size_t abbreviated = street.find("str."); abbreviated != std::string::npos)
            street.replace(abbreviated, 4, "straße");
        line(out, byPhone ? "Neuer Weg " + std::to_string(number) : street);
        line(out, byPhone ? "99084 Erfurt" : person.plz + " " + person.place);
        line(out, byPhone ? "+49 " + person.phone.substr(1) : "");
        line(out, "");
        return out;
    }

    // A record of a person of its own with the planted value.
    std::string withValue(int number, const PlantedValue& value) {
        std::string out;
        line(out, std::to_string(number) + "*");
        line(out, "2");
        line(out, of(kFirstNames));
        line(out, of(kSurnames) + value.birth);
        line(out, "Teststr. " + std::to_string(number));
        line(out, value.plzOrt.empty() ? "10115 Berlin" : value.plzOrt);
        line(out, value.phone + "030 " + std::to_string(1000000 + number) + value.communication);
        line(out, value.bank);
        return out;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int percent) { return pick(1, 100) <= percent; }
    const std::string& of(const std::vector<std::string>& list) {
        return list[static_cast<std::size_t>(pick(0, static_cast<int>(list.size()) - 1))];
    }
    // The text as ADR bytes: each character through the inverse of the reader's table.
    void line(std::string& out, const std::string& text) {
        for (std::size_t i = 0; i < text.size();) {
            std::size_t length = 1;
            const auto lead = static_cast<unsigned char>(text[i]);
            if (lead >= 0xE0)
                length = 3;
            else if (lead >= 0xC0)
                length = 2;
            out += bytes_.at(text.substr(i, length));
            i += length;
        }
        out += "\r\n";
    }

    std::mt19937 random_;
    bool ownHouseNumbers_;
    std::map<std::string, char> bytes_;
};

}  // namespace

std::uint64_t writeCorpus(const std::filesystem::path& directory, int records, std::uint32_t seed, const Flaws& flaws,
                          std::vector<PlantedFlaw>* planted) {
    std::filesystem::create_directories(directory);
    const bool flawed = flaws.duplicates > 0 || flaws.values > 0;
    Writer writer(seed, flawed);
    std::array<std::string, 100> files;
    // The planted records stand apart, evenly among the plain ones, after a first stretch of
    // plain ones that the duplicates repeat.
    const int plantedCount = flaws.duplicates + flaws.values;
    const int spacing = plantedCount > 0 ? std::max(2, records / (plantedCount + 1)) : 0;
    int duplicates = 0;
    int values = 0;
    Person person;
    Person lastPerson;  // the last plain record that is no court
    // Numbers ending in 00 would land in "00A", which a batch run never reads.
    for (int i = 0, number = 101; i < records; ++i, ++number) {
        if (number % 100 == 0) ++number;
        std::string& file = files[static_cast<std::size_t>(number % 100)];
        const bool plant = spacing > 0 && i > 0 && i % spacing == 0;
        if (plant && duplicates < flaws.duplicates && !lastPerson.surname.empty()) {
            file += writer.repeated(number, lastPerson, duplicates % 2 == 1);
            if (planted) planted->push_back({number, "Dublette", lastPerson.number});
            ++duplicates;
            continue;
        }
        if (plant && values < flaws.values) {
            const PlantedValue& value = kPlantedValues[static_cast<std::size_t>(values) % kPlantedValues.size()];
            file += writer.withValue(number, value);
            if (planted && !value.kind.empty()) planted->push_back({number, value.kind, 0});
            ++values;
            continue;
        }
        file += writer.record(number, person);
        if (!person.court) lastPerson = person;
    }
    std::uint64_t bytes = 0;
    for (int n = 1; n <= 99; ++n) {
        std::ofstream(directory / adr::addressFileName(n), std::ios::binary) << files[static_cast<std::size_t>(n)];
        bytes += files[static_cast<std::size_t>(n)].size();
    }
    return bytes;
}

}  // namespace bench

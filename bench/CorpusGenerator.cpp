#include "CorpusGenerator.h"

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

class Writer {
public:
    explicit Writer(std::uint32_t seed) : random_(seed) {
        const adr::CharTable& table = adr::zeichentabelle();
        for (int b = 255; b >= 1; --b)
            bytes_[std::string(table.character(static_cast<unsigned char>(b)))] = static_cast<char>(b);
    }

    std::string record(int number) {
        std::string out;
        const int salutation = pick(1, 8);
        const std::string surname = of(kSurnames);
        const auto& [plz, place] = kPlaces[static_cast<std::size_t>(pick(0, static_cast<int>(kPlaces.size()) - 1))];
        line(out, std::to_string(number) + "*");
        line(out, chance(60) ? std::to_string(salutation) + "# " + (salutation == 1 ? "Herr " : "Frau ") + surname + ","
                  : chance(50) ? std::to_string(salutation) + "#&Liebe Familie " + surname
                               : std::to_string(salutation));
        std::string field3 = of(kFirstNames);
        if (chance(10)) field3 += "<AD>alt</AD>";
        if (chance(20)) field3 += "#" + std::string(salutation == 1 ? "Herrn" : "Frau");
        if (chance(5)) field3 += "ûHRB " + std::to_string(pick(100, 99999)) + " üAmtsgericht " + place;
        line(out, field3);
        std::string field4 = chance(3) ? std::string(chance(50) ? "Aû " : "Lü ") + place : surname;
        if (chance(15)) field4 += "*geb. " + of(kSurnames);
        if (chance(30))
            field4 += "**" + std::to_string(pick(1, 28)) + "." + std::to_string(pick(1, 12)) + "." +
                      std::to_string(pick(1920, 2005));
        if (chance(20)) field4 += "***" + of(kProfessions);
        if (chance(10)) field4 += "#c/o " + of(kSurnames);
        line(out, field4);
        std::string field5 = of(kStreets) + " " + std::to_string(pick(1, 200));
        if (chance(10)) field5 += "û" + plz + " " + place + "²" + std::to_string(pick(1000, 99999));
        if (chance(15)) field5 += "•0171 " + std::to_string(pick(1000000, 9999999));
        if (chance(5)) field5 += "·Mandant";
        line(out, field5);
        line(out, chance(5)    ? "1000 " + place + " 31*" + plz
                  : chance(10) ? "<PL>" + plz + "</PL><OR>" + place + "</OR>"
                               : plz + " " + place);
        std::string field7 = "0" + std::to_string(pick(30, 999)) + " " + std::to_string(pick(100000, 9999999));
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
    std::map<std::string, char> bytes_;
};

}  // namespace

std::uint64_t writeCorpus(const std::filesystem::path& directory, int records, std::uint32_t seed) {
    std::filesystem::create_directories(directory);
    Writer writer(seed);
    std::array<std::string, 100> files;
    // Numbers ending in 00 would land in "00A", which a batch run never reads.
    for (int i = 0, number = 101; i < records; ++i, ++number) {
        if (number % 100 == 0) ++number;
        files[static_cast<std::size_t>(number % 100)] += writer.record(number);
    }
    std::uint64_t bytes = 0;
    for (int n = 1; n <= 99; ++n) {
        std::ofstream(directory / adr::addressFileName(n), std::ios::binary) << files[static_cast<std::size_t>(n)];
        bytes += files[static_cast<std::size_t>(n)].size();
    }
    return bytes;
}

}  // namespace bench

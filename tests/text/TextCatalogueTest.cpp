// Every text the program says to its users lives in its layer's catalogue (a file named Texts.h
// or Texts.cpp), once. This reads the sources and finds German text anywhere else: a literal
// with an umlaut or ß, or with a German function word, or one that repeats a catalogue's text.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSources = fs::path(SAMPLES_DIR) / ".." / "src";

// What the field mapper writes into the addresses (salutations, court names, the ADR format's
// markers) is German data, not a message.
const std::set<std::string> kAddressDataFiles = {"adr/Salutation.cpp", "adr/FieldMapper.cpp"};

struct Literal {
    std::string file;
    int line;
    std::string text;
};

bool isCatalogue(const fs::path& file) { return file.stem() == "Texts"; }

// The string literals of a C++ source, without comments, includes and character literals.
std::vector<Literal> literalsOf(const fs::path& file, const std::string& name) {
    std::ifstream in(file, std::ios::binary);
    const std::string code((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Literal> found;
    int line = 1;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '\n') {
            ++line;
        } else if (code.compare(i, 2, "//") == 0 || code.compare(i, 8, "#include") == 0) {
            i = code.find('\n', i) - 1;
        } else if (code.compare(i, 2, "/*") == 0) {
            const std::size_t end = code.find("*/", i + 2);
            for (std::size_t k = i; k < end; ++k) line += code[k] == '\n';
            i = end + 1;
        } else if (c == '"' || c == '\'') {
            std::string text;
            std::size_t k = i + 1;
            for (; k < code.size() && code[k] != c; ++k) {
                if (code[k] == '\\') text += code[k++];
                text += code[k];
            }
            if (c == '"') found.push_back({name, line, text});
            i = k;
        }
    }
    return found;
}

bool soundsGerman(const std::string& text) {
    static const std::regex umlaut("Ä|Ö|Ü|ä|ö|ü|ß");
    static const std::regex functionWord(
        "\\b(der|die|das|den|dem|des|ein|eine|einen|einem|einer|eines|und|oder|nicht|kein|keine|ist|sind|"
        "wurde|wurden|wird|werden|kann|mit|für|von|vom|zum|zur|im|auf|bei|aus|nach|es|sie|bitte|gibt|noch|"
        "nur|alle|wie|was|diese|dieser|hat|haben|mehr|als|auch|aber|sich|lässt|ließ)\\b",
        std::regex::icase);
    return std::regex_search(text, umlaut) || std::regex_search(text, functionWord);
}

TEST(TextCatalogue, NoGermanTextStandsOutsideTheCatalogues) {
    std::vector<Literal> elsewhere;
    std::set<std::string> catalogued;
    for (const auto& entry : fs::recursive_directory_iterator(kSources)) {
        const fs::path& file = entry.path();
        if (file.extension() != ".h" && file.extension() != ".cpp") continue;
        const std::string name = fs::relative(file, kSources).generic_string();
        for (auto& literal : literalsOf(file, name)) {
            if (isCatalogue(file)) {
                catalogued.insert(literal.text);
            } else if (!kAddressDataFiles.count(name)) {
                elsewhere.push_back(std::move(literal));
            }
        }
    }
    ASSERT_FALSE(catalogued.empty()) << "no catalogue found under " << kSources;

    // A catalogue's single words in lower case (captions, outcomes: "abbrechen", "verworfen") are
    // found again anywhere else; capitalised names ("Server") are keywords as often as texts.
    static const std::regex word("[a-zäöüß]+( [a-zäöüß]+)*");
    std::ostringstream strays;
    for (const Literal& literal : elsewhere) {
        const bool repeated =
            literal.text.size() > 4 && catalogued.count(literal.text) && std::regex_match(literal.text, word);
        if (repeated || soundsGerman(literal.text)) {
            strays << literal.file << ":" << literal.line << ": \"" << literal.text << "\"\n";
        }
    }
    EXPECT_EQ(strays.str(), "") << "German text outside the catalogues";
}

TEST(TextCatalogue, TheScanSeesTextsWhereverTheyStand) {
    EXPECT_TRUE(soundsGerman("Datei nicht gefunden: "));
    EXPECT_TRUE(soundsGerman("Überlauf"));
    EXPECT_TRUE(soundsGerman(" von 8"));
    EXPECT_FALSE(soundsGerman("SELECT id FROM AdressenImport ORDER BY id"));
    EXPECT_FALSE(soundsGerman("ADR-Pfad"));

    const fs::path sample = fs::temp_directory_path() / "text-catalogue-sample.cpp";
    std::ofstream(sample) << "// \"im Kommentar\"\nconst char c = '\"';\n/* \"auch\n nicht */ auto s =\n"
                             "    \"zwei \\\"Wörter\\\"\";\n#include \"app/Texts.h\"\n";
    const auto literals = literalsOf(sample, "sample.cpp");
    fs::remove(sample);
    ASSERT_EQ(literals.size(), 1u);
    EXPECT_EQ(literals[0].line, 5);
    EXPECT_EQ(literals[0].text, "zwei \\\"Wörter\\\"");
}

}  // namespace

// The settings file's own behaviour: regedit's exports, every type written and read back,
// several store objects and processes on one file, interrupted writes, broken files.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "settings/AtomicFile.h"
#include "settings/FileLock.h"
#include "settings/FileRegistry.h"
#include "settings/RegFile.h"
#include "settings/RegistryOperations.h"
#include "settings/StatusText.h"
#include "support/RunCli.h"
#include "support/TempDir.h"
#include "text/Unicode.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <functional>
#endif

namespace {

using namespace settings;
using testing_support::TempDir;
using Bytes = std::vector<std::uint8_t>;

std::string utf16File(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text::utf8ToUtf16(utf8)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string fileBytes(const std::filesystem::path& file) { return testing_support::readWhole(file.string()); }

std::string exactBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// The text of a file written in regedit's form: UTF-16LE after a byte-order mark, lines ending
// with CR LF; as UTF-8 with plain line feeds. Empty when the file is in any other form.
std::string fileText(const std::filesystem::path& file) {
    const std::string bytes = exactBytes(file);
    if (!bytes.starts_with("\xFF\xFE") || bytes.size() % 2 != 0) return {};
    std::u16string units;
    for (std::size_t i = 2; i < bytes.size(); i += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8));
    const std::string text = text::utf16ToUtf8(units).value_or("");
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return {};  // a line ending without CR
        lines += text[i];
    }
    return lines;
}

struct Listed {
    std::string name;
    std::uint32_t type;
    Bytes data;
    bool operator==(const Listed&) const = default;
};

// Every value of a key as the registry interface enumerates it.
std::vector<Listed> everyValue(RegistryApi& registry, const std::string& keyPath) {
    Key key = 0;
    EXPECT_EQ(registry.openKeyEx(kCurrentUser, keyPath.c_str(), kKeyQueryValue, &key), kErrorSuccess);
    std::vector<Listed> values;
    for (std::uint32_t index = 0;; ++index) {
        std::vector<char> name(16384);
        Bytes data(65536);
        auto nameSize = static_cast<std::uint32_t>(name.size());
        auto dataSize = static_cast<std::uint32_t>(data.size());
        std::uint32_t type = 0;
        const Status status = registry.enumValue(key, index, name.data(), &nameSize, &type, data.data(), &dataSize);
        if (status == kErrorNoMoreItems) break;
        EXPECT_EQ(status, kErrorSuccess);
        if (status != kErrorSuccess) break;
        data.resize(dataSize);
        values.push_back({std::string(name.data(), nameSize), type, data});
    }
    registry.closeKey(key);
    return values;
}

void store(RegistryApi& registry, const std::string& keyPath, const Listed& value) {
    Key key = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(registry.createKeyEx(kCurrentUser, keyPath.c_str(), 0, 0x3F, &key, &disposition), kErrorSuccess);
    EXPECT_EQ(registry.setValueEx(key, value.name.c_str(), value.type, value.data.data(),
                                  static_cast<std::uint32_t>(value.data.size())),
              kErrorSuccess);
    registry.closeKey(key);
}

constexpr const char* kRegeditExport =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Norvel-Kanzleisoftware]\r\n"
    "\"Stammverzeichnis\"=\"C:\\\\Programme\\\\Norvel \\\"Kanzlei\\\"\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Norvel-Kanzleisoftware\\datenbanken]\r\n"
    "@=\"Müller & Partner\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Norvel-Kanzleisoftware\\datenbanken\\Müller & Partner\\verbindung]\r\n"
    "\"Provider\"=\"SQLOLEDB.1\"\r\n"
    "\"Timeout\"=dword:0000001e\r\n"
    "\"Pfade\"=hex(7):61,00,00,00,62,00,00,00,\\\r\n"
    "  00,00\r\n"
    "\"Erweitert\"=hex(2):25,00,41,00,25,00,00,00\r\n"
    "\"Roh\"=hex:01,02,ff\r\n"
    "\"Straße\"=\"Hauptstraße 5 – 2 €\"\r\n"
    "\r\n";

TEST(FileRegistry, ReadsARegeditExportInUtf16) {
    const TempDir dir;
    const std::string file = dir.write("registry.reg", utf16File(kRegeditExport));
    FileRegistry registry(file);

    EXPECT_EQ(Stammverzeichnis(registry), "C:\\Programme\\Norvel \"Kanzlei\"");
    const std::string databases = std::string(kSettingsRoot) + "\\datenbanken";
    const std::string profile = RegValueRead(registry, kCurrentUser, databases, "", "");
    EXPECT_EQ(profile, "Müller & Partner");
    const std::string connection = databases + "\\" + profile + "\\verbindung";
    for (const auto& [name, text] : std::vector<NamedText>{{"Provider", "SQLOLEDB.1"},
                                                           {"Timeout", "30"},
                                                           {"Pfade", "a\r\nb\r\n\r\n"},
                                                           {"Erweitert", "%A%"},
                                                           {"Straße", "Hauptstraße 5 – 2 €"}}) {
        EXPECT_EQ(RegValueRead(registry, kCurrentUser, connection, name, "fehlt"), text) << name;
    }
    EXPECT_THROW(RegValuesList(registry, kCurrentUser, connection), UnusableValue) << "the binary value Roh";
    const auto raw = everyValue(registry, databases + "\\" + profile + "\\verbindung");
    ASSERT_EQ(raw.size(), 6u);
    EXPECT_EQ(raw[3], (Listed{"Erweitert", kRegExpandSz, {'%', 'A', '%', 0}}));
    EXPECT_EQ(raw[4], (Listed{"Roh", kRegBinary, {1, 2, 0xFF}}));
}

TEST(FileRegistry, KeepsEveryCharacterOfAnExportAndOfWhatItWrites) {
    const TempDir dir;
    const std::string import = "[HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken\\Łódź\\Import]\r\n";
    const std::string file = dir.write("registry.reg", utf16File("Windows Registry Editor Version 5.00\r\n\r\n" +
                                                                 import + "\"ADR-Pfad\"=\"C:\\\\ADR\\\\Łódź 😀\"\r\n"));
    const std::string key = std::string(kSettingsRoot) + "\\datenbanken\\Łódź\\Import";
    {
        FileRegistry registry(file);
        EXPECT_EQ(RegValueRead(registry, kCurrentUser, key, "ADR-Pfad", ""), "C:\\ADR\\Łódź 😀");
        EXPECT_EQ(RegValueWrite(registry, kCurrentUser, key, "Straße in Gdańsk", "ul. Długa 5", kRegSz), kErrorSuccess);
    }
    FileRegistry again(file);
    EXPECT_EQ(RegValueRead(again, kCurrentUser, key, "ADR-Pfad", ""), "C:\\ADR\\Łódź 😀");
    EXPECT_EQ(RegValueRead(again, kCurrentUser, key, "Straße in Gdańsk", ""), "ul. Długa 5");
    EXPECT_NE(fileText(file).find("\n\"ADR-Pfad\"=\"C:\\\\ADR\\\\Łódź 😀\"\n"), std::string::npos)
        << "written as regedit writes: UTF-16LE with byte-order mark and CR LF";
}

TEST(FileRegistry, ReadsUtf8WithAndWithoutByteOrderMarkAndTakesAnEmptyFileAsEmpty) {
    const TempDir dir;
    FileRegistry plain(dir.write("plain.reg", kRegeditExport));
    FileRegistry marked(dir.write("marked.reg", std::string("\xEF\xBB\xBF") + kRegeditExport));
    EXPECT_EQ(Stammverzeichnis(plain), "C:\\Programme\\Norvel \"Kanzlei\"");
    EXPECT_EQ(Stammverzeichnis(marked), "C:\\Programme\\Norvel \"Kanzlei\"");

    FileRegistry empty(dir.write("empty.reg", ""));
    EXPECT_FALSE(RegKeyExists(empty, kCurrentUser, "SOFTWARE"));
    FileRegistry missing(dir.path() / "fehlt" / "registry.reg");
    EXPECT_FALSE(RegKeyExists(missing, kCurrentUser, "SOFTWARE"));
}

TEST(FileRegistry, EveryTypeAndAwkwardNameReadsBackByteForByte) {
    const TempDir dir;
    const auto file = dir.path() / "registry.reg";
    const std::string path = "SOFTWARE\\Typen\\Alle";
    Bytes longBinary(300);
    for (std::size_t i = 0; i < longBinary.size(); ++i) longBinary[i] = static_cast<std::uint8_t>(i * 7);
    const std::vector<Listed> values = {
        {"", kRegSz, {'S', 't', 'a', 'n', 'd', 'a', 'r', 'd', 0}},
        {"Text", kRegSz, {'M', 0xC3, 0xBC, 'l', 'l', 'e', 'r', ' ', 0xE2, 0x82, 0xAC, 0}},
        {"Zeichen \"\\ in Namen", kRegSz, {'a', '"', 'b', '\\', 'c', 0}},
        {"Zeilen\r\nim Namen", kRegSz, {'a', '\r', '\n', 'b', 0}},
        {"ohneDaten", kRegSz, {}},
        {"ohneEnde", kRegSz, {'a', 'b', 'c'}},
        {"nulInnen", kRegSz, {'a', 0, 'b', 0}},
        {"erweitert", kRegExpandSz, {'%', 'T', 'E', 'M', 'P', '%', 0}},
        {"binaer", kRegBinary, longBinary},
        {"leerBinaer", kRegBinary, {}},
        {"dword", kRegDword, {42, 0, 0, 0}},
        {"dwordLang", kRegDword, {1, 2, 3, 4, 5}},
        {"grossesEnde", kRegDwordBigEndian, {0, 0, 0, 42}},
        {"liste", kRegMultiSz, {'a', 0, 'b', 0, 0}},
        {"qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"keiner", kRegNone, {}},
        {"eigenerTyp", 0x12345, {9, 8}},
    };
    {
        FileRegistry writer(file);
        for (const Listed& value : values) store(writer, path, value);
        EXPECT_EQ(everyValue(writer, path), values);
    }
    FileRegistry reader(file);
    EXPECT_EQ(everyValue(reader, path), values);

    const std::string text = fileText(file);
    EXPECT_NE(text.find("\n\"dword\"=dword:0000002a\n"), std::string::npos);
    EXPECT_NE(text.find("\n\"liste\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"), std::string::npos);
    EXPECT_NE(text.find("\n\"Text\"=\"Müller €\"\n"), std::string::npos);
    EXPECT_NE(text.find("\n@=\"Standard\"\n"), std::string::npos);
    for (const std::string& line : testing_support::lines(text)) EXPECT_LE(line.size(), 80u) << line;
}

// regedit reads a file without byte-order mark as ANSI and so mangles every umlaut: the file is
// written as regedit writes one, whatever form of regedit 5.00 it was read in.
TEST(FileRegistry, WritesAFileAsRegeditWritesOne) {
    const TempDir dir;
    const std::string databases = std::string(kSettingsRoot) + "\\datenbanken";
    const std::string profile =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken]"
        "\r\n@=\"Prüfung\"\r\n";
    // A regedit export, and a UTF-8 file as an earlier version of this program wrote it.
    for (const std::string& before : {utf16File(profile), profile}) {
        const std::string file = dir.write("registry.reg", before);
        FileRegistry registry(file);
        ASSERT_EQ(RegValueWrite(registry, kCurrentUser, databases + "\\Prüfung\\Import", "ADR-Pfad", "Akten Müller/ADR",
                                kRegSz),
                  kErrorSuccess);
        const std::string text = fileText(file);
        EXPECT_TRUE(text.starts_with("Windows Registry Editor Version 5.00\n")) << fileBytes(file);
        EXPECT_NE(text.find("\n@=\"Prüfung\"\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\n\"ADR-Pfad\"=\"Akten Müller/ADR\"\n"), std::string::npos) << text;
    }
    const auto created = dir.path() / "neu.reg";
    FileRegistry fresh(created);
    ASSERT_EQ(RegValueWrite(fresh, kCurrentUser, databases, "", "Prüfung", kRegSz), kErrorSuccess);
    EXPECT_NE(fileText(created).find("\n@=\"Prüfung\"\n"), std::string::npos) << fileBytes(created);
}

TEST(FileRegistry, ARegedit4FileIsReadAndWrittenInWindows1252) {
    const TempDir dir;
    const std::string key = "SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken";
    const std::string file = dir.write("registry.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + key +
                                                           "]\r\n@=\"Pr\xFC"
                                                           "fung \x80\"\r\n\"Pfad\"=hex(2):41,5c,c4,00\r\n");
    FileRegistry registry(file);
    EXPECT_EQ(RegValueRead(registry, kCurrentUser, key, "", ""), "Prüfung €");
    EXPECT_EQ(RegValueRead(registry, kCurrentUser, key, "Pfad", ""), "A\\Ä");
    EXPECT_EQ(everyValue(registry, key)[1], (Listed{"Pfad", kRegExpandSz, {'A', '\\', 0xC3, 0x84, 0}}));

    ASSERT_EQ(RegValueWrite(registry, kCurrentUser, key, "Ort", "Straße", kRegSz), kErrorSuccess);
    const std::string written = exactBytes(file);
    EXPECT_TRUE(written.starts_with("REGEDIT4\r\n")) << written;
    EXPECT_NE(written.find("\r\n@=\"Pr\xFC"
                           "fung \x80\"\r\n\"Pfad\"=hex(2):41,5c,c4,00\r\n\"Ort\"=\"Stra\xDF"
                           "e\"\r\n"),
              std::string::npos)
        << written;

    EXPECT_EQ(RegValueWrite(registry, kCurrentUser, key, "Ort", "Łódź", kRegSz), kErrorNoUnicodeTranslation);
    EXPECT_EQ(exactBytes(file), written) << "a text Windows-1252 cannot hold is refused, not mangled";
    EXPECT_EQ(RegValueRead(registry, kCurrentUser, key, "Ort", ""), "Straße");
    EXPECT_NE(statusText(kErrorNoUnicodeTranslation).find("Windows-1252"), std::string::npos);
}

TEST(FileRegistry, CommentLinesStayWhereTheyStoodWhenTheFileIsWritten) {
    const TempDir dir;
    const std::string before =
        "Windows Registry Editor Version 5.00\n\n; Exportiert für die Kanzlei\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"\n"
        "; vor y\n\"y\"=\"2\"\n\n; das Profil B\n[HKEY_CURRENT_USER\\A\\B]\n\"b\"=\"1\"\n; am Ende\n";
    const std::string file = dir.write("registry.reg", utf16File(before));
    FileRegistry registry(file);
    ASSERT_EQ(RegValueWrite(registry, kCurrentUser, "A", "z", "3", kRegSz), kErrorSuccess);
    EXPECT_EQ(fileText(file),
              "Windows Registry Editor Version 5.00\n\n; Exportiert für die Kanzlei\n\n[HKEY_CURRENT_USER]\n\n"
              "[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"\n; vor y\n\"y\"=\"2\"\n\"z\"=\"3\"\n\n; das Profil B\n"
              "[HKEY_CURRENT_USER\\A\\B]\n\"b\"=\"1\"\n; am Ende\n");
}

TEST(FileRegistry, ChangesReachEveryStoreObjectOnTheFile) {
    const TempDir dir;
    const auto file = dir.path() / "einstellungen" / "registry.reg";
    FileRegistry first(file);
    FileRegistry second(file);
    const std::string importKey = std::string(kSettingsRoot) + "\\datenbanken\\Demo\\Import";

    RegValueWrite(first, kCurrentUser, importKey, "ADR-Pfad", "D:\\ADR", kRegSz);
    EXPECT_EQ(RegValueRead(second, kCurrentUser, importKey, "ADR-Pfad", ""), "D:\\ADR");
    RegValueWrite(second, kCurrentUser, importKey, "AdressNr0", "17", kRegSz);
    EXPECT_EQ(RegValueRead(first, kCurrentUser, importKey, "AdressNr0", ""), "17");
    EXPECT_EQ(RegValueRead(first, kCurrentUser, importKey, "ADR-Pfad", ""), "D:\\ADR");

    RegValueWrite(first, kCurrentUser, kSettingsRoot, "Stammverzeichnis", "C:\\Norvel", kRegSz);
    FileRegistry third(file);
    EXPECT_EQ(Stammverzeichnis(third), "C:\\Norvel");
}

TEST(FileRegistry, KeepsTheOrderOfTheFilesValues) {
    const TempDir dir;
    FileRegistry registry(dir.write("registry.reg",
                                    "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\V]\n"
                                    "\"Server\"=\"s\"\n\"Database\"=\"d\"\n\"Application Name\"=\"a\"\n"));
    const auto list = RegValuesList(registry, kCurrentUser, "V");
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, (std::vector<NamedText>{{"Server", "s"}, {"Database", "d"}, {"Application Name", "a"}}));
}

TEST(FileRegistry, AnInterruptedWriteLeavesTheOldFile) {
    const TempDir dir;
    const auto file = dir.path() / "registry.reg";
    {
        FileRegistry earlier(file);
        RegValueWrite(earlier, kCurrentUser, "SOFTWARE\\X", "Wert", "alt", kRegSz);
    }
    const std::string before = exactBytes(file);

    // A writer that died between writing the new content and renaming it left this behind.
    std::ofstream(temporaryFileFor(file), std::ios::binary) << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURR";
    FileRegistry registry(file);
    EXPECT_EQ(RegValueRead(registry, kCurrentUser, "SOFTWARE\\X", "Wert", ""), "alt");
    RegValueWrite(registry, kCurrentUser, "SOFTWARE\\X", "Wert", "neu", kRegSz);
    FileRegistry later(file);
    EXPECT_EQ(RegValueRead(later, kCurrentUser, "SOFTWARE\\X", "Wert", ""), "neu");
    EXPECT_FALSE(std::filesystem::exists(temporaryFileFor(file)));

    // A write that fails before the rename: the store answers the failure, the file stays.
    std::filesystem::remove(file);
    std::ofstream(file, std::ios::binary) << before;
    std::filesystem::create_directory(temporaryFileFor(file));
    Key key = 0;
    ASSERT_EQ(registry.openKeyEx(kCurrentUser, "SOFTWARE\\X", 0x3F, &key), kErrorSuccess);
    const std::string neu = "neu";
#ifdef _WIN32
    constexpr Status kFolderInTheWay = kErrorAccessDenied;  // Windows refuses to open a folder as a file
#else
    constexpr Status kFolderInTheWay = kErrorRegistryIoFailed;
#endif
    EXPECT_EQ(registry.setValueEx(key, "Wert", kRegSz, reinterpret_cast<const std::uint8_t*>(neu.c_str()), 4),
              kFolderInTheWay);
    registry.closeKey(key);
    RegValueWrite(registry, kCurrentUser, "SOFTWARE\\X", "Wert", "neu", kRegSz);
    EXPECT_EQ(exactBytes(file), before);
    EXPECT_EQ(RegValueRead(registry, kCurrentUser, "SOFTWARE\\X", "Wert", ""), "alt");
}

TEST(FileRegistry, ABrokenFileIsReportedWithItsLineAndNeverWritten) {
    const TempDir dir;
    const std::string good =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\X]\r\n\"Wert\"=\"alt\"\r\n";
    const auto file = dir.path() / "registry.reg";
    std::ofstream(file, std::ios::binary) << good;
    FileRegistry registry(file);

    const std::string broken = good + "\"Kaputt\"=wert\r\n";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << broken;
    try {
        RegValueWrite(registry, kCurrentUser, "SOFTWARE\\X", "Wert", "neu", kRegSz);
        FAIL() << "a broken file must be reported";
    } catch (const RegistryFileError& error) {
        EXPECT_EQ(error.line(), 5u);
        EXPECT_NE(std::string(error.what()).find("Zeile 5"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << error.what();
    }
    EXPECT_EQ(exactBytes(file), broken);
    EXPECT_THROW(FileRegistry{file}, RegistryFileError);
}

TEST(FileRegistry, ParseErrorsNameTheirLine) {
    const std::string header = "Windows Registry Editor Version 5.00\n\n";
    const struct {
        std::string text;
        std::size_t line;
    } cases[] = {
        {"Windows Registry Editor Version 4.00\n\n[HKEY_CURRENT_USER\\X]\n", 1},
        {header + "\"Wert\"=\"vor dem Schlüssel\"\n", 3},
        {header + "[HKEY_IRGENDWO\\X]\n", 3},
        {header + "[HKEY_CURRENT_USER\\X\n", 3},
        {header + "[HKEY_CURRENT_USER\\X]\n\"offen\"=\"ohne Ende\n", 4},
        {header + "[HKEY_CURRENT_USER\\X]\n\"a\"=\"\\t\"\n", 4},
        {header + "[HKEY_CURRENT_USER\\X]\n\"a\"=dword:123456789\n", 4},
        {header + "[HKEY_CURRENT_USER\\X]\n\"a\"=hex:01,02,\\\n  03,zz\n", 5},
        {header + "[HKEY_CURRENT_USER\\X]\n\"a\"=hex:01,\\\n", 4},
        {header + "[HKEY_CURRENT_USER\\X]\n\"a\"\"b\"\n", 4},
        {header + "[HKEY_CURRENT_USER\\X]\n\"a\"=\"\xC3\"\n", 4},
    };
    for (const auto& [text, line] : cases) {
        try {
            parseRegFile(text, "test.reg");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const RegistryFileError& error) {
            EXPECT_EQ(error.line(), line) << error.what();
        }
    }
}

// What two writers "erster" and "zweiter" wrote, writes values each: all of it is there.
void expectEveryWrite(const std::filesystem::path& file, int writes) {
    FileRegistry registry(file);
    for (const std::string prefix : {"erster", "zweiter"}) {
        for (int i = 0; i < writes; ++i) {
            EXPECT_EQ(
                RegValueRead(registry, kCurrentUser, "SOFTWARE\\Gleichzeitig", prefix + std::to_string(i), "fehlt"),
                std::to_string(i));
        }
    }
}

TEST(FileRegistry, TwoWritersAtOnceLoseNoValue) {
    const TempDir dir;
    const auto file = dir.path() / "registry.reg";
    constexpr int kWrites = 40;
    auto writer = [&](const std::string& prefix) {
        FileRegistry registry(file);
        for (int i = 0; i < kWrites; ++i) {
            RegValueWrite(registry, kCurrentUser, "SOFTWARE\\Gleichzeitig", prefix + std::to_string(i),
                          std::to_string(i), kRegSz);
        }
    };
    std::thread first(writer, "erster");
    std::thread second(writer, "zweiter");
    first.join();
    second.join();

    expectEveryWrite(file, kWrites);
}

TEST(FileRegistry, AnswersLikeTheRegistryForHandlesAndAccessRights) {
    const TempDir dir;
    FileRegistry registry(dir.path() / "registry.reg");
    Key key = 0;
    ASSERT_EQ(registry.createKeyEx(kCurrentUser, "SOFTWARE\\X", 0, 0x3F, &key, nullptr), kErrorSuccess);
    ASSERT_EQ(registry.setValueEx(key, "a", kRegSz, reinterpret_cast<const std::uint8_t*>("äöü"), 7), kErrorSuccess);
    std::uint32_t size = 0;
    std::uint32_t type = 0;
    EXPECT_EQ(registry.queryValueEx(key, "a", &type, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(size, 7u) << "the size in UTF-8";
    std::uint8_t small[2];
    size = 2;
    EXPECT_EQ(registry.queryValueEx(key, "a", nullptr, small, &size), kErrorMoreData);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(registry.closeKey(key), kErrorSuccess);
    EXPECT_EQ(registry.closeKey(key), kErrorInvalidHandle);

    ASSERT_EQ(registry.openKeyEx(kCurrentUser, "SOFTWARE\\X", 0x19, &key), kErrorSuccess);
    EXPECT_EQ(registry.setValueEx(key, "b", kRegSz, reinterpret_cast<const std::uint8_t*>("b"), 2), kErrorAccessDenied);
    registry.closeKey(key);
    ASSERT_EQ(registry.openKeyEx(kCurrentUser, "SOFTWARE\\X", kKeyEnumerateSubKeys, &key), kErrorSuccess);
    EXPECT_EQ(registry.queryValueEx(key, "a", nullptr, nullptr, &size), kErrorAccessDenied);
    registry.closeKey(key);
    EXPECT_EQ(registry.openKeyEx(kCurrentUser, "SOFTWARE\\Y", 0x19, &key), kErrorFileNotFound);
    EXPECT_EQ(registry.openKeyEx(0x1234, "SOFTWARE", 0x19, &key), kErrorInvalidHandle);
}

TEST(FileRegistry, AWriteThatCannotTakeTheLockAnswersAFailure) {
    const TempDir dir;
    const auto file = dir.path() / "registry.reg";
    FileRegistry registry(file);
    std::filesystem::create_directory(dir.path() / "registry.reg.lock");
    const Status status = RegValueWrite(registry, kCurrentUser, "SOFTWARE\\X", "Wert", "neu", kRegSz);
    EXPECT_NE(status, kErrorSuccess);
#ifndef _WIN32
    EXPECT_EQ(status, kErrorRegistryIoFailed) << "a lock file that is a folder is no refusal of rights";
#endif
    EXPECT_EQ(RegValueRead(registry, kCurrentUser, "SOFTWARE\\X", "Wert", "fehlt"), "fehlt");
    EXPECT_FALSE(std::filesystem::exists(file));
}

// Ctrl+C while another writer holds the lock ends the wait; without it the write waits.
std::atomic<int> stopChecks{0};
bool stopAfterThreeChecks() { return ++stopChecks >= 3; }
bool neverStop() { return false; }

TEST(FileRegistry, AWaitForAnotherWritersLockEndsWhenToldAndOtherwiseWaits) {
    const TempDir dir;
    const auto file = dir.path() / "registry.reg";
    {
        const FileLock held(dir.path() / "registry.reg.lock");
        FileRegistry stopping(file, &stopAfterThreeChecks);
        EXPECT_EQ(RegValueWrite(stopping, kCurrentUser, "SOFTWARE\\X", "Wert", "neu", kRegSz), kErrorCancelled);
        EXPECT_EQ(stopChecks, 3);
        EXPECT_FALSE(std::filesystem::exists(file));
    }
    auto held = std::make_unique<FileLock>(dir.path() / "registry.reg.lock");
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        held.reset();
    });
    FileRegistry waiting(file, &neverStop);
    EXPECT_EQ(RegValueWrite(waiting, kCurrentUser, "SOFTWARE\\X", "Wert", "neu", kRegSz), kErrorSuccess);
    releaser.join();
    EXPECT_EQ(RegValueRead(waiting, kCurrentUser, "SOFTWARE\\X", "Wert", "fehlt"), "neu");
}

TEST(FileRegistry, AWriteBelowAFileThatIsNoFolderAnswersAFailure) {
    const TempDir dir;
    FileRegistry registry(std::filesystem::path(dir.write("datei", "kein Ordner")) / "registry.reg");
    EXPECT_NE(RegValueWrite(registry, kCurrentUser, "SOFTWARE\\X", "Wert", "neu", kRegSz), kErrorSuccess);
    EXPECT_EQ(RegValueRead(registry, kCurrentUser, "SOFTWARE\\X", "Wert", "fehlt"), "fehlt");
    EXPECT_EQ(fileBytes(dir.path() / "datei"), "kein Ordner");
}

#ifdef _WIN32
Status asOrdinaryUser(const std::function<Status()>& write) { return write(); }
#else
// Runs write without the rights of root, which writes wherever it likes: a refusal of the
// file system is only seen by an ordinary user. Answers write's status, -1 when it gave none.
Status asOrdinaryUser(const std::function<Status()>& write) {
    if (::geteuid() != 0) return write();
    constexpr uid_t kNobody = 65534;
    int channel[2];
    if (::pipe(channel) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        Status status = -1;
        try {
            if (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0) status = write();
        } catch (...) {
            status = -2;
        }
        const bool sent = ::write(channel[1], &status, sizeof status) == sizeof status;
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    Status status = -1;
    if (child < 0 || ::read(channel[0], &status, sizeof status) != sizeof status) status = -1;
    ::close(channel[0]);
    if (child > 0) ::waitpid(child, nullptr, 0);
    return status;
}
#endif

TEST(FileRegistry, AReadOnlyFileIsNotReplacedAndTheWriteIsRefused) {
    const TempDir dir;
    const auto file = dir.path() / "registry.reg";
    {
        FileRegistry earlier(file);
        RegValueWrite(earlier, kCurrentUser, "SOFTWARE\\X", "Wert", "alt", kRegSz);
    }
    namespace fs = std::filesystem;
    fs::permissions(dir.path(), fs::perms::all);  // the folder and the lock may be written, the file not
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string before = exactBytes(file);

    const Status status = asOrdinaryUser([&] {
        FileRegistry registry(file);
        return RegValueWrite(registry, kCurrentUser, "SOFTWARE\\X", "Wert", "neu", kRegSz);
    });
    EXPECT_EQ(status, kErrorAccessDenied);
    EXPECT_EQ(exactBytes(file), before);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

#ifndef _WIN32
TEST(FileRegistry, AWriteIntoAReadOnlyFolderIsRefused) {
    const TempDir dir;
    const auto folder = dir.path() / "nurLesen";
    const auto file = folder / "registry.reg";
    {
        FileRegistry earlier(file);
        RegValueWrite(earlier, kCurrentUser, "SOFTWARE\\X", "Wert", "alt", kRegSz);
    }
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    const std::string before = exactBytes(file);

    const auto write = [&](const char* keyPath) {
        return asOrdinaryUser([&] {
            FileRegistry registry(file);
            return RegValueWrite(registry, kCurrentUser, keyPath, "Wert", "neu", kRegSz);
        });
    };
    EXPECT_EQ(write("SOFTWARE\\X"), kErrorAccessDenied);
    EXPECT_EQ(write("SOFTWARE\\Neu\\Tiefer"), kErrorAccessDenied) << "the key's creation is refused, not missing";
    EXPECT_EQ(exactBytes(file), before);
    ::chmod(folder.c_str(), 0755);
}

TEST(FileRegistry, AWriteTheDiskRefusesLeavesTheFileAndAnswersTheFailure) {
    const TempDir dir;
    const auto file = dir.path() / "registry.reg";
    FileRegistry registry(file);
    ASSERT_EQ(RegValueWrite(registry, kCurrentUser, "SOFTWARE\\X", "Wert", "alt", kRegSz), kErrorSuccess);
    const std::string before = exactBytes(file);

    // A file size limit makes the write of the longer content fail as a full disk does.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = before.size();
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const Status status = RegValueWrite(registry, kCurrentUser, "SOFTWARE\\X", "Wert", "neu und länger", kRegSz);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &old), 0);

    EXPECT_EQ(status, kErrorRegistryIoFailed);
    EXPECT_EQ(exactBytes(file), before);
    EXPECT_FALSE(std::filesystem::exists(temporaryFileFor(file)));
    EXPECT_EQ(RegValueRead(registry, kCurrentUser, "SOFTWARE\\X", "Wert", ""), "alt");
}

// The lock file goes with the lock, and still keeps two writing processes apart.
TEST(FileRegistry, TwoProcessesWriteAtOnceLoseNoValueAndLeaveNoLockFile) {
    const TempDir dir;
    const auto file = dir.path() / "registry.reg";
    constexpr int kWrites = 30;
    std::vector<pid_t> children;
    for (const std::string prefix : {"erster", "zweiter"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FileRegistry registry(file);
            bool written = true;
            for (int i = 0; i < kWrites; ++i) {
                written =
                    written && RegValueWrite(registry, kCurrentUser, "SOFTWARE\\Gleichzeitig",
                                             prefix + std::to_string(i), std::to_string(i), kRegSz) == kErrorSuccess;
            }
            ::_exit(written ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    expectEveryWrite(file, kWrites);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"registry.reg"});
}

// Wine's regedit imports (/S) what the store wrote and exports (/E) it again, and the store reads
// and writes back what regedit exported: every name and value arrives as it left. Runs when
// REGEDIT_WINE names the Wine program of a prepared prefix (scripts/test-regedit.sh).
class RegeditRoundTrip : public testing::Test {
protected:
    void SetUp() override {
        const char* wine = std::getenv("REGEDIT_WINE");
        if (wine == nullptr || *wine == 0) GTEST_SKIP() << "REGEDIT_WINE is not set";
        wine_ = wine;
        key_ = "Software\\Anschriftenwandler-Test-" + std::to_string(::getpid());
        regedit("/D", "HKEY_CURRENT_USER\\" + key_);
    }
    void TearDown() override {
        if (!wine_.empty()) regedit("/D", "HKEY_CURRENT_USER\\" + key_);
    }

    // regedit with an option and a file (Wine sees / as the drive Z:) or a key.
    int regedit(const std::string& option, const std::string& fileOrKey, const std::string& key = "") const {
        std::string command = "'" + wine_ + "' regedit " + option + " '" +
                              (fileOrKey.starts_with("/") ? "Z:" + fileOrKey : fileOrKey) + "'";
        if (!key.empty()) command += " '" + key + "'";
        return std::system((command + " </dev/null >/dev/null 2>&1").c_str());
    }
    void importFile(const std::filesystem::path& file) const { ASSERT_EQ(regedit("/S", file.string()), 0); }
    void exportKey(const std::filesystem::path& file) const {
        ASSERT_EQ(regedit("/E", file.string(), "HKEY_CURRENT_USER\\" + key_), 0);
    }

    // Wine keeps a key's values sorted by name.
    static std::vector<Listed> byName(std::vector<Listed> values) {
        std::sort(values.begin(), values.end(), [](const Listed& a, const Listed& b) { return a.name < b.name; });
        return values;
    }

    std::string wine_;
    std::string key_;
};

TEST_F(RegeditRoundTrip, WhatTheStoreWritesRegeditImportsAndExportsUnchanged) {
    const TempDir dir;
    const std::string profile = key_ + "\\datenbanken\\Prüfung";
    const std::vector<Listed> values = {
        {"", kRegSz, {'P', 'r', 0xC3, 0xBC, 'f', 'u', 'n', 'g', 0}},
        {"ADR-Pfad",
         kRegSz,
         {'A', 'k', 't', 'e', 'n', ' ', 'M', 0xC3, 0xBC, 'l', 'l', 'e', 'r', '/', 'A', 'D', 'R', 0}},
        {"Straße €", kRegExpandSz, {'%', 'T', 'E', 'M', 'P', '%', '\\', 0xC3, 0x84, 0}},
        {"AdressNr0", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"Pfade", kRegMultiSz, {'a', 0, 0xC3, 0xB6, 0, 0}},
        {"Roh", kRegBinary, {1, 2, 0xFF}},
    };
    const auto written = dir.path() / "geschrieben.reg";
    {
        FileRegistry registry(written);
        for (const Listed& value : values) store(registry, profile, value);
    }
    importFile(written);
    const auto exported = dir.path() / "exportiert.reg";
    exportKey(exported);
    FileRegistry reread(exported);
    EXPECT_EQ(byName(everyValue(reread, profile)), byName(values));
}

TEST_F(RegeditRoundTrip, ARegeditExportTheStoreWroteBackRegeditReadsUnchanged) {
    const TempDir dir;
    const auto source = dir.path() / "quelle.reg";
    std::ofstream(source, std::ios::binary) << utf16File(
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" + key_ +
        "\\datenbanken]\r\n@=\"Prüfung\"\r\n\r\n[HKEY_CURRENT_USER\\" + key_ +
        "\\datenbanken\\Prüfung\\Import]\r\n\"ADR-Pfad\"=\"Akten Müller/ADR\"\r\n\"AdressNr0\"=dword:0000002a\r\n");
    importFile(source);
    const auto exported = dir.path() / "export.reg";
    exportKey(exported);

    const std::string import = key_ + "\\datenbanken\\Prüfung\\Import";
    {
        FileRegistry store(exported);
        ASSERT_EQ(RegValueWrite(store, kCurrentUser, import, "AdressNr1", "4000000000", kRegSz), kErrorSuccess);
        ASSERT_EQ(RegValueWrite(store, kCurrentUser, import, "AdressNr0", "17", kRegSz), kErrorSuccess);
        ASSERT_EQ(RegValueWrite(store, kCurrentUser, import, "ADR-Pfad", "Akten Jäger/ADR", kRegSz), kErrorSuccess);
    }
    regedit("/D", "HKEY_CURRENT_USER\\" + key_);
    importFile(exported);
    const auto again = dir.path() / "wieder.reg";
    exportKey(again);
    FileRegistry written(exported);
    FileRegistry reread(again);
    EXPECT_EQ(RegValueRead(reread, kCurrentUser, key_ + "\\datenbanken", "", ""), "Prüfung");
    EXPECT_EQ(byName(everyValue(reread, import)), byName(everyValue(written, import)));
    EXPECT_EQ(
        byName(everyValue(reread, import)),
        (std::vector<Listed>{
            {"ADR-Pfad", kRegSz, {'A', 'k', 't', 'e', 'n', ' ', 'J', 0xC3, 0xA4, 'g', 'e', 'r', '/', 'A', 'D', 'R', 0}},
            {"AdressNr0", kRegDword, {17, 0, 0, 0}},
            {"AdressNr1", kRegSz, {'4', '0', '0', '0', '0', '0', '0', '0', '0', '0', 0}},
        }));
}

TEST(FileRegistry, ANewFileIsReadableByItsOwnerOnly) {
    const TempDir dir;
    const auto file = dir.path() / "registry.reg";
    FileRegistry first(file);
    RegValueWrite(first, kCurrentUser, "SOFTWARE\\X", "PWD", "geheim", kRegSz);
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    FileRegistry second(file);
    RegValueWrite(second, kCurrentUser, "SOFTWARE\\X", "PWD", "anders", kRegSz);
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
}

// A settings file kept elsewhere behind symbolic links (a relative one to an absolute one) is
// written through them: the links stay, the file they lead to is replaced beside itself and keeps
// its permissions. A link to a file not there yet makes that file.
TEST(FileRegistry, ASymbolicLinkStaysAndTheFileItLeadsToIsReplaced) {
    const TempDir dir;
    std::filesystem::create_directories(dir.path() / "elsewhere");
    const auto file = dir.path() / "elsewhere" / "registry.reg";
    FileRegistry direct(file);
    RegValueWrite(direct, kCurrentUser, "SOFTWARE\\X", "Wert", "alt", kRegSz);
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    const auto absoluteLink = dir.path() / "absolute.reg";
    const auto relativeLink = dir.path() / "registry.reg";
    std::filesystem::create_symlink(file, absoluteLink);
    std::filesystem::create_symlink("absolute.reg", relativeLink);

    FileRegistry linked(relativeLink);
    EXPECT_EQ(RegValueWrite(linked, kCurrentUser, "SOFTWARE\\X", "Wert", "neu", kRegSz), kErrorSuccess);
    EXPECT_TRUE(std::filesystem::is_symlink(relativeLink));
    EXPECT_EQ(std::filesystem::read_symlink(relativeLink), "absolute.reg");
    EXPECT_EQ(std::filesystem::read_symlink(absoluteLink), file);
    EXPECT_EQ(RegValueRead(direct, kCurrentUser, "SOFTWARE\\X", "Wert", ""), "neu");
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    EXPECT_FALSE(std::filesystem::exists(temporaryFileFor(file)));
    EXPECT_FALSE(std::filesystem::exists(temporaryFileFor(relativeLink)));

    const auto notYet = dir.path() / "elsewhere" / "neu.reg";
    const auto linkToNew = dir.path() / "neu.reg";
    std::filesystem::create_symlink(notYet, linkToNew);
    FileRegistry linkedToNew(linkToNew);
    EXPECT_EQ(RegValueWrite(linkedToNew, kCurrentUser, "SOFTWARE\\X", "Wert", "erst", kRegSz), kErrorSuccess);
    EXPECT_TRUE(std::filesystem::is_symlink(linkToNew));
    FileRegistry created(notYet);
    EXPECT_EQ(RegValueRead(created, kCurrentUser, "SOFTWARE\\X", "Wert", ""), "erst");
}
#endif

}  // namespace

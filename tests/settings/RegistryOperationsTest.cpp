// The settings operations against every registry backend: the same cases, the same answers.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/ExpandVariables.h"
#include "settings/RegistryBackends.h"
#include "settings/RegistryOperations.h"

namespace {

using namespace settings;
using Bytes = std::vector<std::uint8_t>;

Bytes bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

template <class Backend>
class RegistryOperationsTest : public ::testing::Test {
protected:
    RegistryApi& registry() { return backend_.registry; }
    std::string key(const std::string& below) const { return backend_.base + "\\" + below; }
    const std::string& base() const { return backend_.base; }
    const std::string& rootValueName() const { return backend_.rootValueName; }

    // Stores data as it stands, the way another program would.
    void storeRaw(const std::string& keyPath, const std::string& name, std::uint32_t type, const Bytes& data) {
        ASSERT_NE(RegKeyCreate(registry(), kCurrentUser, keyPath), 0u);
        Key open = 0;
        ASSERT_EQ(registry().openKeyEx(kCurrentUser, keyPath.c_str(), 0x3F, &open), kErrorSuccess);
        EXPECT_EQ(registry().setValueEx(open, name.c_str(), type, data.data(), static_cast<std::uint32_t>(data.size())),
                  kErrorSuccess);
        EXPECT_EQ(registry().closeKey(open), kErrorSuccess);
    }

    struct Raw {
        std::uint32_t type;
        Bytes data;
    };
    // The value as the registry interface answers it; none when it is not there.
    std::optional<Raw> raw(const std::string& keyPath, const std::string& name) {
        Key open = 0;
        if (registry().openKeyEx(kCurrentUser, keyPath.c_str(), kKeyQueryValue, &open) != kErrorSuccess)
            return std::nullopt;
        Raw value{0, Bytes(4096)};
        auto size = static_cast<std::uint32_t>(value.data.size());
        const Status status = registry().queryValueEx(open, name.c_str(), &value.type, value.data.data(), &size);
        registry().closeKey(open);
        if (status != kErrorSuccess) return std::nullopt;
        value.data.resize(size);
        return value;
    }

    std::string read(const std::string& keyPath, const std::string& name, const std::string& defaultValue = "Vorgabe") {
        return RegValueRead(registry(), kCurrentUser, keyPath, name, defaultValue);
    }

private:
    Backend backend_;
};

struct BackendName {
    template <class Backend>
    static std::string GetName(int) {
        return Backend::kName;
    }
};

#ifdef _WIN32
using Backends = ::testing::Types<testing_support::FileStoreBackend, testing_support::WindowsRegistryBackend>;
#else
using Backends = ::testing::Types<testing_support::FileStoreBackend>;
#endif
TYPED_TEST_SUITE(RegistryOperationsTest, Backends, BackendName);

TYPED_TEST(RegistryOperationsTest, TextIsStoredAsUnicodeAndReadBack) {
    const std::string path = this->key("Import");
    const std::string text = "C:\\ADR\\Müller & Söhne – 5 € „Kanzlei“ …/Łódź 😀";
    EXPECT_EQ(RegValueWrite(this->registry(), kCurrentUser, path, "ADR-Pfad", text, kRegSz), kErrorSuccess);

    EXPECT_EQ(this->read(path, "ADR-Pfad"), text);
    const auto stored = this->raw(path, "ADR-Pfad");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, kRegSz);
    EXPECT_EQ(stored->data, bytes(text + '\0'));

    const std::string polish = this->key("Łódź");
    EXPECT_EQ(RegValueWrite(this->registry(), kCurrentUser, polish, "Straße in Gdańsk", "ul. Długa", kRegSz),
              kErrorSuccess);
    EXPECT_EQ(this->read(polish, "Straße in Gdańsk"), "ul. Długa");
    const auto list = RegValuesList(this->registry(), kCurrentUser, polish);
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, (std::vector<NamedText>{{"Straße in Gdańsk", "ul. Długa"}}));

    RegValueWrite(this->registry(), kCurrentUser, path, "ADR-Pfad", "", kRegSz);
    EXPECT_EQ(this->read(path, "ADR-Pfad"), "") << "an empty text holds its NUL and is no missing value";
}

TYPED_TEST(RegistryOperationsTest, DwordsReadAsUnsignedDecimalDigits) {
    const std::string path = this->key("Zahlen");
    this->storeRaw(path, "zweiundvierzig", kRegDword, {42, 0, 0, 0});
    this->storeRaw(path, "alleBits", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF});
    this->storeRaw(path, "hoechstesBit", kRegDword, {0, 0, 0, 0x80});
    EXPECT_EQ(this->read(path, "zweiundvierzig"), "42");
    EXPECT_EQ(this->read(path, "alleBits"), "4294967295");
    EXPECT_EQ(this->read(path, "hoechstesBit"), "2147483648");
}

TYPED_TEST(RegistryOperationsTest, DwordWritesStoreThirtyTwoBitNumbers) {
    const std::string path = this->key("Zahlen");
    RegValueWrite(this->registry(), kCurrentUser, path, "minusEins", "-1", kRegDword);
    RegValueWrite(this->registry(), kCurrentUser, path, "gerundet", "12.5", kRegDword);
    RegValueWrite(this->registry(), kCurrentUser, path, "keineZahl", "zwölf", kRegDword);
    RegValueWrite(this->registry(), kCurrentUser, path, "zuGross", "4294967296", kRegDword);
    RegValueWrite(this->registry(), kCurrentUser, path, "grossesEnde", "42", kRegDwordBigEndian);
    RegValueWrite(this->registry(), kCurrentUser, path, "ohneVorzeichen", "4294967295", kRegDword);

    const auto minusOne = this->raw(path, "minusEins");
    ASSERT_TRUE(minusOne);
    EXPECT_EQ(minusOne->type, kRegDword);
    EXPECT_EQ(minusOne->data, (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(this->read(path, "minusEins"), "4294967295") << "read back unsigned, as a DWORD is";
    EXPECT_EQ(this->read(path, "gerundet"), "12") << "half to even";
    EXPECT_FALSE(this->raw(path, "keineZahl")) << "a text that is no number is not stored";
    EXPECT_FALSE(this->raw(path, "zuGross"));
    EXPECT_EQ(this->read(path, "ohneVorzeichen"), "4294967295") << "a DWORD read back is written back";

    const auto bigEndian = this->raw(path, "grossesEnde");
    ASSERT_TRUE(bigEndian);
    EXPECT_EQ(bigEndian->type, kRegDwordBigEndian);
    EXPECT_EQ(bigEndian->data, (Bytes{0, 0, 0, 42}));
    EXPECT_THROW(this->read(path, "grossesEnde"), UnusableValue) << "the type is not one the reader understands";
}

TYPED_TEST(RegistryOperationsTest, WritingATextKeepsTheTypeTheValueHad) {
    const std::string path = this->key("Import");
    this->storeRaw(path, "AdressNr0", kRegDword, {7, 0, 0, 0});
    this->storeRaw(path, "AdressNr1", kRegDword, {9, 0, 0, 0});
    this->storeRaw(path, "ADR-Pfad", kRegExpandSz, bytes(std::string("%HOME%\\ADR", 11)));
    EXPECT_EQ(RegValueWrite(this->registry(), kCurrentUser, path, "AdressNr0", "4000000000", kRegSz), kErrorSuccess);
    EXPECT_EQ(RegValueWrite(this->registry(), kCurrentUser, path, "AdressNr1", "", kRegSz), kErrorSuccess);
    EXPECT_EQ(RegValueWrite(this->registry(), kCurrentUser, path, "ADR-Pfad", "D:\\ADR", kRegSz), kErrorSuccess);

    const auto from = this->raw(path, "AdressNr0");
    ASSERT_TRUE(from);
    EXPECT_EQ(from->type, kRegDword) << "a number written over a DWORD stays a DWORD";
    EXPECT_EQ(from->data, (Bytes{0x00, 0x28, 0x6B, 0xEE}));
    const auto to = this->raw(path, "AdressNr1");
    ASSERT_TRUE(to);
    EXPECT_EQ(to->type, kRegSz) << "a DWORD cannot hold the empty text";
    const auto directory = this->raw(path, "ADR-Pfad");
    ASSERT_TRUE(directory);
    EXPECT_EQ(directory->type, kRegExpandSz);
    EXPECT_EQ(this->read(path, "ADR-Pfad"), "D:\\ADR");
}

TYPED_TEST(RegistryOperationsTest, AWriteTheRegistryRefusesAnswersItsStatus) {
    const std::string path = this->key("Import");
    EXPECT_EQ(RegValueWrite(this->registry(), kCurrentUser, "\\" + path, "ADR-Pfad", "x", kRegSz), kErrorBadPathname)
        << "the refusal's own code";
    EXPECT_EQ(RegValueWrite(this->registry(), kCurrentUser, path, "AdressNr0", "keine Zahl", kRegDword),
              kErrorInvalidParameter);
    EXPECT_EQ(RegValueWrite(this->registry(), kCurrentUser, path, "AdressNr0", "17", kRegSz), kErrorSuccess);

    Key readOnly = 0;
    ASSERT_EQ(this->registry().openKeyEx(kCurrentUser, path.c_str(), 0x19, &readOnly), kErrorSuccess);
    EXPECT_EQ(this->registry().setValueEx(readOnly, "AdressNr1", kRegSz, bytes("1").data(), 1), kErrorAccessDenied);
    this->registry().closeKey(readOnly);
    EXPECT_EQ(this->read(path, "AdressNr1"), "Vorgabe");
}

TYPED_TEST(RegistryOperationsTest, MissingKeysAndValuesGiveTheDefaultAndCreateNothing) {
    EXPECT_EQ(this->read(this->key("gibt\\es\\nicht"), "ADR-Pfad"), "Vorgabe");
    EXPECT_EQ(this->read(this->key("gibt\\es\\nicht"), "ADR-Pfad", ""), "");
    EXPECT_FALSE(RegKeyExists(this->registry(), kCurrentUser, this->key("gibt")));
    EXPECT_FALSE(RegKeyExists(this->registry(), kCurrentUser, this->base()));

    RegKeyCreate(this->registry(), kCurrentUser, this->key("leer"));
    EXPECT_EQ(this->read(this->key("leer"), "ADR-Pfad"), "Vorgabe");
    EXPECT_EQ(this->read(this->key("leer"), ""), "Vorgabe") << "no default value set";
}

TYPED_TEST(RegistryOperationsTest, StringDataWithoutCharactersOrWithNuls) {
    const std::string path = this->key("Texte");
    this->storeRaw(path, "ohneDaten", kRegSz, {});
    this->storeRaw(path, "nurNul", kRegSz, {0});
    this->storeRaw(path, "nulInnen", kRegSz, bytes(std::string("a\0b\0", 4)));
    this->storeRaw(path, "ohneEnde", kRegSz, bytes("abc"));
    EXPECT_EQ(this->read(path, "ohneDaten"), "Vorgabe");
    EXPECT_EQ(this->read(path, "nurNul"), "") << "a terminating NUL counts as a character";
    EXPECT_EQ(this->read(path, "nulInnen"), "ab");
    EXPECT_EQ(this->read(path, "ohneEnde"), "abc");
}

TYPED_TEST(RegistryOperationsTest, MultiStringsTurnEveryNulIntoALineBreak) {
    const std::string path = this->key("Texte");
    this->storeRaw(path, "Liste", kRegMultiSz, bytes(std::string("a\0b\0\0", 5)));
    this->storeRaw(path, "leereListe", kRegMultiSz, {});
    EXPECT_EQ(this->read(path, "Liste"), "a\r\nb\r\n\r\n");
    EXPECT_EQ(this->read(path, "leereListe"), "Vorgabe");
}

TYPED_TEST(RegistryOperationsTest, ExpandStringsReadWithTheirVariablesExpanded) {
    const std::string path = this->key("Typen");
    const auto path_ = environmentVariable("PATH");
    ASSERT_TRUE(path_) << "the test needs PATH set";
    this->storeRaw(path, "erweitert", kRegExpandSz, bytes(std::string("%PATH%\\ADR %UNBEKANNT_XYZ% 100%\0", 32)));
    EXPECT_EQ(this->read(path, "erweitert"), *path_ + "\\ADR %UNBEKANNT_XYZ% 100%");
}

TYPED_TEST(RegistryOperationsTest, ValuesOfOtherTypesAreReportedByKeyAndNameNeverReadAsEmpty) {
    const std::string path = this->key("Typen");
    this->storeRaw(path, "binaer", kRegBinary, {1, 2, 3});
    this->storeRaw(path, "nichts", kRegNone, {});
    this->storeRaw(path, "langesDword", kRegDword, {1, 0, 0, 0, 2, 0, 0, 0});
    this->storeRaw(path, "leeresDword", kRegDword, {});
    for (const char* name : {"binaer", "nichts"}) {
        try {
            this->read(path, name);
            ADD_FAILURE() << name << " was read";
        } catch (const UnusableValue& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(std::string("Der Wert \"") + name + "\""), std::string::npos) << message;
            EXPECT_NE(message.find("HKEY_CURRENT_USER\\" + path), std::string::npos) << message;
        }
    }
    for (const char* name : {"langesDword", "leeresDword"}) EXPECT_EQ(this->read(path, name), "Vorgabe") << name;
}

TYPED_TEST(RegistryOperationsTest, WritingCreatesEveryMissingLevel) {
    const std::string path = this->key("eins\\zwei\\drei");
    RegValueWrite(this->registry(), kCurrentUser, path, "ADR-Pfad", "D:\\ADR", kRegSz);
    EXPECT_TRUE(RegKeyExists(this->registry(), kCurrentUser, this->key("eins")));
    EXPECT_TRUE(RegKeyExists(this->registry(), kCurrentUser, this->key("eins\\zwei")));
    EXPECT_EQ(this->read(path, "ADR-Pfad"), "D:\\ADR");

    EXPECT_EQ(RegKeyCreate(this->registry(), kCurrentUser, this->key("neu\\tiefer")), kRegCreatedNewKey);
    EXPECT_EQ(RegKeyCreate(this->registry(), kCurrentUser, this->key("neu\\tiefer")), kRegOpenedExistingKey);
    EXPECT_EQ(RegKeyCreate(this->registry(), kCurrentUser, this->key("NEU")), kRegOpenedExistingKey);
}

TYPED_TEST(RegistryOperationsTest, AnEmptyKeyPathAddressesTheRootKey) {
    EXPECT_TRUE(RegKeyExists(this->registry(), kCurrentUser, ""));
    RegValueWrite(this->registry(), kCurrentUser, "", this->rootValueName(), "direkt", kRegSz);
    EXPECT_EQ(this->read("", this->rootValueName()), "direkt");

    std::uint32_t size = 0;
    EXPECT_EQ(this->registry().queryValueEx(kCurrentUser, this->rootValueName().c_str(), nullptr, nullptr, &size),
              kErrorSuccess);
    EXPECT_EQ(size, 7u);
}

TYPED_TEST(RegistryOperationsTest, NamesIgnoreCaseAndBackslashesBetweenNames) {
    RegValueWrite(this->registry(), kCurrentUser, this->key("Import"), "ADR-Pfad", "x", kRegSz);
    EXPECT_EQ(this->read(this->key("IMPORT"), "adr-pfad"), "x");
    EXPECT_EQ(this->read(this->key("import\\"), "ADR-PFAD"), "x");
    EXPECT_EQ(this->read(this->base() + "\\\\Import", "ADR-Pfad"), "x");
    RegValueWrite(this->registry(), kCurrentUser, this->key("Import"), "adr-pfad", "y", kRegSz);
    EXPECT_EQ(this->read(this->key("Import"), "ADR-Pfad"), "y");

    EXPECT_EQ(this->read("\\" + this->key("Import"), "ADR-Pfad"), "Vorgabe") << "a leading backslash names no key";
    EXPECT_EQ(RegKeyCreate(this->registry(), kCurrentUser, "\\" + this->key("Import")), 0u);
}

TYPED_TEST(RegistryOperationsTest, ValuesListGivesEveryValueReadAgainByName) {
    EXPECT_FALSE(RegValuesList(this->registry(), kCurrentUser, this->key("fehlt")));

    RegKeyCreate(this->registry(), kCurrentUser, this->key("leer"));
    const auto empty = RegValuesList(this->registry(), kCurrentUser, this->key("leer"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, (std::vector<NamedText>{{"", ""}}));

    // Added in name order, which both the Windows registry's order and Wine's sorted one keep.
    const std::string path = this->key("verbindung");
    RegValueWrite(this->registry(), kCurrentUser, path, "Data Source", "C:\\Daten\\pool.db", kRegSz);
    RegValueWrite(this->registry(), kCurrentUser, path, "PWD", "geheim", kRegSz);
    this->storeRaw(path, "Timeout", kRegDword, {30, 0, 0, 0});
    const auto list = RegValuesList(this->registry(), kCurrentUser, path);
    ASSERT_TRUE(list);
    EXPECT_EQ(*list,
              (std::vector<NamedText>{{"Data Source", "C:\\Daten\\pool.db"}, {"PWD", "geheim"}, {"Timeout", "30"}}));
    this->storeRaw(path, "Zusatz", kRegBinary, {1, 2});
    EXPECT_THROW(RegValuesList(this->registry(), kCurrentUser, path), UnusableValue);
}

TYPED_TEST(RegistryOperationsTest, ValuesListEndsAtANameOrDataTooLongForItsBuffers) {
    const std::string names = this->key("Namen");
    RegValueWrite(this->registry(), kCurrentUser, names, "a1", "1", kRegSz);
    RegValueWrite(this->registry(), kCurrentUser, names, "b" + std::string(253, 'x'), "2", kRegSz);  // 254: fits
    RegValueWrite(this->registry(), kCurrentUser, names, "c" + std::string(254, 'x'), "3", kRegSz);  // 255: does not
    RegValueWrite(this->registry(), kCurrentUser, names, "d", "4", kRegSz);
    const auto byName = RegValuesList(this->registry(), kCurrentUser, names);
    ASSERT_TRUE(byName);
    EXPECT_EQ(*byName, (std::vector<NamedText>{{"a1", "1"}, {"b" + std::string(253, 'x'), "2"}}));

    const std::string data = this->key("Daten");
    RegValueWrite(this->registry(), kCurrentUser, data, "a", "1", kRegSz);
    RegValueWrite(this->registry(), kCurrentUser, data, "b", std::string(255, 'y'), kRegSz);  // 256 bytes: fits
    RegValueWrite(this->registry(), kCurrentUser, data, "c", std::string(127, 'z') + "ä" + std::string(128, 'z'),
                  kRegSz);  // 258 bytes in UTF-8
    RegValueWrite(this->registry(), kCurrentUser, data, "d", "4", kRegSz);
    const auto byData = RegValuesList(this->registry(), kCurrentUser, data);
    ASSERT_TRUE(byData);
    EXPECT_EQ(*byData, (std::vector<NamedText>{{"a", "1"}, {"b", std::string(255, 'y')}}));
}

}  // namespace

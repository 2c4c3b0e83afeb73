// What the report finds in the values of the records: implausible values, the keys of likely
// duplicates, and the notes that name a duplicate's other record.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "adr/MappedValues.h"
#include "review/DuplicateKeys.h"
#include "review/LikelyDuplicates.h"
#include "review/PlausibilityNotes.h"
#include "review/SortedSpill.h"

namespace {

const db::Date kToday{2026, 12, 9};

std::vector<std::string> notesOn(const adr::MappedValues& values) {
    std::vector<std::string> notes;
    review::notePlausibility(values, kToday, [&](const std::string& note) { notes.push_back(note); });
    return notes;
}

adr::MappedValues withPlzOrt(const std::string& plzOrt) {
    adr::MappedValues values;
    values.plzOrt = plzOrt;
    return values;
}

TEST(Plausibility, PostalCodesOfFiveDigitsAndForeignOnesPassOthersAreSaid) {
    for (const char* fine : {"10115 Berlin", "01067 Dresden 1", "12345", "D-10115 Berlin", "A-1010 Wien",
                             "CH-8001 Zürich", "NL-1012 Amsterdam", "Berlin", "Hauptstr. 169a", ""}) {
        EXPECT_EQ(notesOn(withPlzOrt(fine)), std::vector<std::string>{}) << fine;
    }
    EXPECT_EQ(notesOn(withPlzOrt("1000 Berlin")),
              std::vector<std::string>{"Postleitzahl „1000“ hat vier Ziffern: eine alte, nicht umgestellte "
                                       "Postleitzahl (oder eine ausländische ohne Länderkennzeichen)"});
    EXPECT_TRUE(notesOn(withPlzOrt("W-1000 Berlin")).at(0).starts_with("Postleitzahl „W-1000“ hat vier Ziffern"));
    EXPECT_TRUE(notesOn(withPlzOrt("1000 Ul*123")).at(0).starts_with("Postleitzahl „1000“ hat vier Ziffern"))
        << "too short to be renewed";
    EXPECT_EQ(notesOn(withPlzOrt("123456 Ort")),
              std::vector<std::string>{"Postleitzahl „123456“ hat nicht fünf Ziffern"});
    EXPECT_EQ(notesOn(withPlzOrt("1234a Ort")),
              std::vector<std::string>{"Postleitzahl „1234a“ hat nicht fünf Ziffern"});
    EXPECT_EQ(notesOn(withPlzOrt("W-10115 Berlin")),
              std::vector<std::string>{"Postleitzahl „W-10115“ hat nicht fünf Ziffern"})
        << "the old prefix with a new code is neither";
    adr::MappedValues postfach;
    postfach.plzOrtPostfach = "123 Ulm";
    EXPECT_EQ(notesOn(postfach), std::vector<std::string>{"Postleitzahl des Postfachs „123“ hat nicht fünf Ziffern"});
}

TEST(Plausibility, EmailAddressesOfTheFormNameAtDomainPass) {
    for (const char* fine : {"hans@example.de", " hans.meier@mail.example.de  ", "weiß@t-online.de", ""}) {
        adr::MappedValues values;
        values.email = fine;
        EXPECT_EQ(notesOn(values), std::vector<std::string>{}) << fine;
    }
    for (const char* wrong : {"hans.example.de", "hans@example", "a@b@c.de", "hans meier@example.de", "@example.de",
                              "hans@example.d", "hans@.de", "hans.@example.de", "a@b.de; c@d.de"}) {
        adr::MappedValues values;
        values.email = wrong;
        EXPECT_EQ(notesOn(values), std::vector<std::string>{"E-Mail-Adresse „" + std::string(wrong) +
                                                            "“ hat nicht die Form name@domain"});
    }
}

TEST(Plausibility, TelephoneNumbersWithLettersAreSaidSignsAreNoLetters) {
    adr::MappedValues values;
    values.telefon1 = "+49 (30) 123-45/67";
    values.telefon2 = "0171 – 12345";
    values.telefax = "0221·12345";
    EXPECT_EQ(notesOn(values), std::vector<std::string>{});
    // The signs next to the letters in ASCII are none either, eight at a time or one by one.
    values.telefon1 = "030 @[`{ 12345 @[`{";
    EXPECT_EQ(notesOn(values), std::vector<std::string>{});
    values.telefon1 = " 66111 Saarbrücken";
    values.telefon2 = "0171 Ä";
    values.telefax = "0221 12345 privat";
    EXPECT_EQ(notesOn(values), (std::vector<std::string>{"Telefonnummer „66111 Saarbrücken“ enthält Buchstaben",
                                                         "Zweite Telefonnummer „0171 Ä“ enthält Buchstaben",
                                                         "Faxnummer „0221 12345 privat“ enthält Buchstaben"}));
}

TEST(Plausibility, BirthDatesFromTodayBackTo120YearsPass) {
    const auto noteOn = [](const db::Date& born) {
        adr::MappedValues values;
        values.geburtstag = born;
        return notesOn(values);
    };
    EXPECT_EQ(noteOn({2026, 12, 9}), std::vector<std::string>{});
    EXPECT_EQ(noteOn({1906, 12, 9}), std::vector<std::string>{});
    EXPECT_EQ(noteOn({2026, 12, 10}), std::vector<std::string>{"Geburtsdatum 10.12.2026 liegt in der Zukunft"});
    EXPECT_EQ(noteOn({1906, 12, 8}),
              std::vector<std::string>{"Geburtsdatum 08.12.1906 liegt mehr als 120 Jahre zurück"});
}

TEST(Plausibility, BankCodesOfEightDigitsAccountsOfUpToTenAndValidIbansPass) {
    const auto noteOn = [](const std::string& code, const std::string& account) {
        adr::MappedValues values;
        values.bankleitzahl = code;
        values.kontoNummer = account;
        return notesOn(values);
    };
    EXPECT_EQ(noteOn("10020030", "1234567890"), std::vector<std::string>{});
    EXPECT_EQ(noteOn("100 200 30", "4711"), std::vector<std::string>{});
    EXPECT_EQ(noteOn("COBADEFFXXX", "DE89370400440532013000"), std::vector<std::string>{}) << "a BIC and an IBAN";
    EXPECT_EQ(noteOn("", "DE89 3704 0044 0532 0130 00"), std::vector<std::string>{});
    EXPECT_EQ(noteOn("", "GB82WEST12345698765432"), std::vector<std::string>{});
    EXPECT_EQ(noteOn("1002003", "12345678901"),
              (std::vector<std::string>{"Bankleitzahl „1002003“ hat nicht acht Ziffern",
                                        "Kontonummer „12345678901“ ist weder eine Kontonummer (bis zu zehn Ziffern) "
                                        "noch eine IBAN"}));
    EXPECT_EQ(noteOn("1002003X", "12-34").size(), 2u);
    EXPECT_EQ(noteOn("", "DE89370400440532013001"),
              std::vector<std::string>{"IBAN „DE89370400440532013001“ ist ungültig (Prüfziffern)"});
    EXPECT_EQ(noteOn("", "DE8937040044053201300").size(), 1u) << "a German IBAN has 22 characters";
}

// A person's values with texts of their own; the checks see them as views, as they see a row.
struct Person {
    std::string nachname, vorname, strasse, plzOrt, telefon1, telefon2;
    operator adr::MappedValues() const {
        adr::MappedValues values;
        values.nachname = nachname;
        values.vorname = vorname;
        values.strasse = strasse;
        values.plzOrt = plzOrt;
        values.telefon1 = telefon1;
        values.telefon2 = telefon2;
        return values;
    }
};

Person person(const std::string& nachname, const std::string& vorname, const std::string& strasse,
              const std::string& plzOrt, const std::string& telefon = "") {
    return {nachname, vorname, strasse, plzOrt, telefon, ""};
}

std::vector<review::DuplicateKey> keysOf(const adr::MappedValues& values) {
    std::array<review::DuplicateKey, 3> keys;
    const std::size_t count = review::duplicateKeys(values, keys);
    return {keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(count)};
}

std::uint64_t addressKey(const adr::MappedValues& values) {
    const auto keys = keysOf(values);
    return keys.empty() || keys[0].kind != review::DuplicateKey::address ? 0 : keys[0].hash;
}

TEST(DuplicateKeys, TheSamePersonWrittenDifferentlyHasTheSameAddressKey) {
    const std::uint64_t key = addressKey(person("Müller", "Jürgen", "Hauptstraße 5", "10115 Berlin"));
    ASSERT_NE(key, 0u);
    EXPECT_EQ(addressKey(person("MUELLER", "juergen", "Hauptstr. 5", "10115 Berlin-Mitte")), key);
    EXPECT_EQ(addressKey(person(" Müller ", "Jürgen", "Haupt-Strasse 5", "D-10115 Berlin")), key);
    EXPECT_NE(addressKey(person("Müller", "Jürgen", "Hauptstr. 6", "10115 Berlin")), key);
    EXPECT_NE(addressKey(person("Müller", "Hans", "Hauptstr. 5", "10115 Berlin")), key);
    EXPECT_NE(addressKey(person("Müller", "Jürgen", "Hauptstr. 5", "10117 Berlin")), key);
    EXPECT_NE(addressKey(person("Müll", "erJürgen", "Hauptstr. 5", "10115 Berlin")), key) << "name parts stay apart";
    EXPECT_EQ(review::foldedForKey("Çelik-Straße 3, Öhringen"), "celikstrasse3oehringen");
    // Letters and digits, whatever stands between them.
    EXPECT_EQ(review::foldedForKey("ABCDEFGHIJ0123456789Zeile"), "abcdefghij0123456789zeile");
    EXPECT_EQ(review::foldedForKey("AZaz09@[`{/:AZaz09@[`{/:Ölmühle"), "azaz09azaz09oelmuehle");
}

TEST(DuplicateKeys, TelephoneNumbersCompareByTheirDigitsWithTheCountryCodeAsZero) {
    const auto phoneKeys = [](const std::string& telefon) {
        std::vector<std::uint64_t> hashes;
        for (const auto& key : keysOf(person("Meier", "", "", "", telefon))) hashes.push_back(key.hash);
        return hashes;
    };
    const auto key = phoneKeys("030 1234567");
    ASSERT_EQ(key.size(), 1u);
    EXPECT_EQ(phoneKeys("+49 30 123 45 67"), key);
    EXPECT_EQ(phoneKeys("0049-30-1234567"), key);
    EXPECT_EQ(phoneKeys("(030) 123 45-67"), key);
    EXPECT_NE(phoneKeys("030 1234568"), key);
    EXPECT_NE(phoneKeys("+41 30 1234567"), key);
    EXPECT_EQ(phoneKeys("12345"), std::vector<std::uint64_t>{}) << "too short for a telephone number";
    EXPECT_EQ(phoneKeys("8000 München*80331"), std::vector<std::uint64_t>{}) << "a place is no telephone number";
    EXPECT_EQ(phoneKeys("030 1234567 privat"), std::vector<std::uint64_t>{});
    Person both = person("Meier", "", "", "", "030 1234567");
    both.telefon2 = "0171 7654321";
    EXPECT_EQ(keysOf(both).size(), 2u);
    EXPECT_EQ(keysOf(person("", "Hans", "Hauptstr. 1", "10115 Berlin", "030 1234567")).size(), 0u)
        << "no key without a surname";
    EXPECT_EQ(keysOf(person("Meier", "Hans", "", "10115 Berlin")).size(), 0u) << "no address key without a street";
    EXPECT_EQ(keysOf(person("Meier", "Hans", "Hauptstr. 1", "Berlin")).size(), 0u)
        << "no address key without a postal code";
}

// Adds the record with the keys of its values.
void add(review::LikelyDuplicates& duplicates, std::uint32_t index, const adr::MappedValues& values,
         std::string_view file, std::uint64_t line, std::optional<double> number) {
    const auto keys = keysOf(values);
    duplicates.add(index, keys, file, line, number);
}

// The notes of the records 0 to count - 1, as the report's rows ask for them.
std::vector<std::vector<std::string>> notesOf(review::LikelyDuplicates& duplicates, std::uint32_t count) {
    std::vector<std::vector<std::string>> notes(count);
    duplicates.rewind();
    for (std::uint32_t i = 0; i < count; ++i) {
        const bool concerned = duplicates.concerns(i);
        duplicates.notesOn(i, [&](std::string_view note) { notes[i].emplace_back(note); });
        EXPECT_EQ(concerned, !notes[i].empty()) << i;
    }
    return notes;
}

TEST(LikelyDuplicates, BothRecordsNameTheOtherTheFirstOneEachLaterOne) {
    std::stringstream workFile;
    review::LikelyDuplicates duplicates(workFile);
    const Person first = person("Meier", "Hans", "Hauptstr. 1", "10115 Berlin", "030 1234567");
    add(duplicates, 0, first, "01A", 1, 101);
    add(duplicates, 1, person("Schulz", "Eva", "Hauptstr. 1", "10115 Berlin", "030 1234567"), "01A", 9, 201);
    add(duplicates, 2, person("MEIER", "hans", "Hauptstraße 1", "10115 Berlin"), "02A", 1, 102);
    Person twice = person("Meier", "Hans", "Am Markt 2", "99084 Erfurt", "+49 30 1234567");
    twice.telefon2 = "030-1234567";
    add(duplicates, 3, twice, "03A", 1, std::nullopt);
    add(duplicates, 4, first, "04A", 17, 104);
    duplicates.resolve();
    EXPECT_EQ(duplicates.count(), 3);
    EXPECT_EQ(duplicates.notes(), 6);

    const std::string first101 = "mögliche Dublette von Datei 01A, Zeile 1, Adressnummer 101 ";
    const std::vector<std::vector<std::string>> expected = {
        {"mögliche Dublette von Datei 02A, Zeile 1, Adressnummer 102 (gleicher Name und gleiche Anschrift)",
         "mögliche Dublette von Datei 03A, Zeile 1 (gleicher Name und gleiche Telefonnummer)",
         "mögliche Dublette von Datei 04A, Zeile 17, Adressnummer 104 (gleicher Name, gleiche Anschrift und "
         "Telefonnummer)"},
        {},
        {first101 + "(gleicher Name und gleiche Anschrift)"},
        {first101 + "(gleicher Name und gleiche Telefonnummer)"},
        {first101 + "(gleicher Name, gleiche Anschrift und Telefonnummer)"}};
    EXPECT_EQ(notesOf(duplicates, 5), expected);
    EXPECT_EQ(notesOf(duplicates, 5), expected) << "a second report gets the same notes";
}

TEST(LikelyDuplicates, AnAddressAlreadyInTheTableIsNamedByItsIdOnTheRecordOnly) {
    std::stringstream workFile;
    review::LikelyDuplicates duplicates(workFile);
    const Person meier = person("Meier", "Hans", "Hauptstr. 1", "10115 Berlin", "030 1234567");
    duplicates.addKnown(keysOf(meier), 4712);
    duplicates.addKnown(keysOf(meier), 4711);
    add(duplicates, 0, person("Schulz", "Eva", "Hauptstr. 1", "10115 Berlin"), "01A", 1, 1);
    add(duplicates, 1, meier, "01A", 9, 2);
    add(duplicates, 2, meier, "01A", 17, 3);
    duplicates.resolve();
    EXPECT_EQ(duplicates.count(), 2);
    EXPECT_EQ(duplicates.notes(), 4) << "the address in the table on both, the records on each other";
    const std::string known =
        "mögliche Dublette von Adresse 4711 in Adressen (gleicher Name, gleiche Anschrift und "
        "Telefonnummer)";
    EXPECT_EQ(notesOf(duplicates, 3),
              (std::vector<std::vector<std::string>>{
                  {},
                  {known,
                   "mögliche Dublette von Datei 01A, Zeile 17, Adressnummer 3 (gleicher Name, gleiche "
                   "Anschrift und Telefonnummer)"},
                  {known,
                   "mögliche Dublette von Datei 01A, Zeile 9, Adressnummer 2 (gleicher Name, gleiche "
                   "Anschrift und Telefonnummer)"}}));
}

TEST(LikelyDuplicates, KeysBeyondMemoryAreSortedInTheWorkFileAndTheFirstRecordNamesTwentyLaterOnes) {
    std::stringstream workFile;
    review::LikelyDuplicates duplicates(workFile);
    // More keys than wait in memory: they are sorted in runs of the work file and merged.
    constexpr std::uint32_t kRecords = 40000;
    for (std::uint32_t i = 0; i < kRecords; ++i) {
        const bool same = i % 2 == 0;
        add(duplicates, i,
            person(same ? "Meier" : "Person " + std::to_string(i), "Hans", "Hauptstr. 1", "10115 Berlin"), "01A",
            1 + 8 * i, 1 + i);
    }
    duplicates.resolve();
    EXPECT_GT(workFile.str().size(), 0u) << "the keys went through the work file";
    EXPECT_FALSE(duplicates.failed());
    EXPECT_EQ(duplicates.count(), kRecords / 2 - 1);
    EXPECT_EQ(duplicates.notes(), kRecords / 2 - 1 + 21);
    const auto notes = notesOf(duplicates, kRecords);
    ASSERT_EQ(notes[0].size(), 21u);
    EXPECT_EQ(notes[0][19],
              "mögliche Dublette von Datei 01A, Zeile 321, Adressnummer 41 (gleicher Name und "
              "gleiche Anschrift)");
    EXPECT_EQ(notes[0][20], "… und 19.979 weitere mögliche Dubletten");
    EXPECT_EQ(notes[1], std::vector<std::string>{});
    EXPECT_EQ(notes[kRecords - 2], std::vector<std::string>{"mögliche Dublette von Datei 01A, Zeile 1, Adressnummer 1 "
                                                            "(gleicher Name und gleiche Anschrift)"});
}

TEST(LikelyDuplicates, AWorkFileThatFailsIsSaid) {
    // A file that takes no byte, as a full disk.
    struct Refusing : std::streambuf {
    } refusing;
    std::iostream workFile(&refusing);
    review::LikelyDuplicates duplicates(workFile);
    for (std::uint32_t i = 0; i < 40000; ++i)
        add(duplicates, i, person("Meier", "Hans", "Hauptstr. 1", "10115 Berlin"), "01A", 1, i);
    duplicates.resolve();
    EXPECT_TRUE(duplicates.failed());
}

// Entries come back in the order Less gives, in memory and through runs of the work file: leading
// numbers over the whole range, a narrow one, and many alike; also from two spills that share one
// work file, filled, sorted and read back in turn.
TEST(SortedSpill, GivesEveryEntryBackInOrderHoweverItsLeadingNumbersSpread) {
    struct Entry {
        std::uint64_t leading;
        std::uint32_t tie;
    };
    struct Less {
        bool operator()(const Entry& a, const Entry& b) const {
            return a.leading != b.leading ? a.leading < b.leading : a.tie < b.tie;
        }
        static std::uint64_t leading(const Entry& entry) { return entry.leading; }
    };
    std::uint64_t state = 88172645463325252u;
    const auto random = [&] { return state ^= state << 13, state ^= state >> 7, state ^= state << 17; };
    for (const std::uint64_t spread : {~std::uint64_t{0}, std::uint64_t{1000}, std::uint64_t{3}}) {
        for (const std::size_t count : {std::size_t{1}, std::size_t{700}, std::size_t{5000}}) {
            std::stringstream workFile;
            review::SortedSpill<Entry, Less> spill(workFile, 1024);
            review::SortedSpill<Entry, Less> sharing(workFile, 1000);
            std::vector<Entry> entries;
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint64_t leading = i == 1 ? 0 : i == 2 ? spread : random() % spread;
                entries.push_back({leading, static_cast<std::uint32_t>(random())});
                spill.add(entries.back());
                sharing.add(entries.back());
            }
            spill.finish();
            sharing.finish();
            std::sort(entries.begin(), entries.end(), Less());
            std::vector<Entry> back(count + 1);
            std::vector<Entry> backShared(count + 1);
            std::size_t read = 0;
            while (read < back.size() && spill.next(back[read]) && sharing.next(backShared[read])) ++read;
            ASSERT_EQ(read, count) << spread;
            for (std::size_t i = 0; i < count; ++i) {
                EXPECT_TRUE(!Less()(back[i], entries[i]) && !Less()(entries[i], back[i])) << spread << " " << i;
                EXPECT_TRUE(!Less()(backShared[i], entries[i]) && !Less()(entries[i], backShared[i]))
                    << spread << " " << i;
            }
        }
    }
}

}  // namespace

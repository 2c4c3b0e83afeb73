// A sentence naming a long Datenpool, fitted to a width: only the name gives way.

#include <gtest/gtest.h>

#include "text/ShortenedName.h"

namespace {

// Fits up to `width` bytes: a stand-in for the pixels a control has.
auto fitsIn(std::size_t width) {
    return [width](const std::string& candidate) { return candidate.size() <= width; };
}

TEST(ShortenedName, TheNameGivesWayInItsMiddleAndTheWordsAroundItStayWhole) {
    const std::string name = "C:/Kanzlei/Datenpool-2026.sqlite/main";
    const std::string sentence =
        "68.160 Adressen konvertiert nach " + name + " / AdressenImport (Konvertierung abgebrochen):";
    EXPECT_EQ(text::shortenName(sentence, name, fitsIn(sentence.size())), sentence) << "what fits stays whole";

    const std::string shortened = text::shortenName(sentence, name, fitsIn(sentence.size() - 10));
    EXPECT_EQ(shortened,
              "68.160 Adressen konvertiert nach C:/Kanzlei/D….sqlite/main / AdressenImport "
              "(Konvertierung abgebrochen):");
    EXPECT_LE(shortened.size(), sentence.size() - 10) << "and as much of the name as fits";
    EXPECT_GT(shortened.size() + 1, sentence.size() - 10);

    EXPECT_EQ(text::shortenName(sentence, name, fitsIn(10)),
              "68.160 Adressen konvertiert nach … / AdressenImport (Konvertierung abgebrochen):")
        << "too narrow even for the words: they stay, the name goes";
    EXPECT_EQ(text::shortenName(sentence, "D:/anderer", fitsIn(10)), sentence) << "a name not in it";
}

TEST(ShortenedName, NoCharacterIsCutInTheMiddleOfItsBytes) {
    const std::string name = "Müller/Büro/Übergabe";
    for (std::size_t width = 3; width < name.size(); ++width) {
        const std::string shortened = text::shortenName(name, name, fitsIn(width));
        for (std::size_t i = 0; i + 1 < shortened.size(); ++i) {
            const auto byte = static_cast<unsigned char>(shortened[i]);
            const auto next = static_cast<unsigned char>(shortened[i + 1]);
            // A lead byte of two (0xC3 for ü) is always followed by its continuation byte.
            if (byte == 0xC3) {
                EXPECT_EQ(next & 0xC0, 0x80) << width << ": " << shortened;
            }
        }
        EXPECT_LE(shortened.size(), std::max<std::size_t>(width, 3)) << shortened;
    }
}

}  // namespace

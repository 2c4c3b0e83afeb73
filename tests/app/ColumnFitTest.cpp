// Whether a table's columns take what the tool writes, as the check judges them for any
// database: missing columns, types that hold no text, lengths below the longest text the field
// mapper composes; and how the check says a duration.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adr/StagingColumns.h"
#include "app/ColumnFit.h"
#include "app/DatenpoolCheck.h"
#include "app/Texts.h"

namespace {

using db::ColumnFacts;
using db::ColumnKind;
using db::Verdict;

// The staging table as the script declares it: every text column nvarchar(255), the salutation 500.
std::vector<ColumnFacts> scriptColumns() {
    std::vector<ColumnFacts> columns{{"id", "int", ColumnKind::number, {}},
                                     {"fremdid", "float", ColumnKind::number, {}}};
    for (std::string_view name : adr::kStagingColumnNames) {
        if (name == "Geburtstag") {
            columns.push_back({"Geburtstag", "date", ColumnKind::date, {}});
        } else {
            const std::size_t length = name == "Briefanrede" ? 500 : 255;
            columns.push_back(
                {std::string(name), "nvarchar(" + std::to_string(length) + ")", ColumnKind::text, length});
        }
    }
    return columns;
}

ColumnFacts& column(std::vector<ColumnFacts>& columns, const std::string& name) {
    for (ColumnFacts& c : columns) {
        if (c.name == name) return c;
    }
    throw std::logic_error(name);
}

std::vector<db::Finding> judge(const std::vector<ColumnFacts>& columns) {
    return app::judgeColumns("AdressenImport", columns, Verdict::failure, "");
}

TEST(ColumnFit, ScriptsTableFitsWithNamesInAnyCase) {
    std::vector<ColumnFacts> columns = scriptColumns();
    column(columns, "nachname").name = "NACHNAME";

    const auto findings = judge(columns);

    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].verdict, Verdict::ok);
    EXPECT_EQ(findings[0].text, "vorhanden; die 27 Spalten, die das Programm schreibt, passen");
}

TEST(ColumnFit, LengthBelowTheLongestComposedTextFails) {
    std::vector<ColumnFacts> columns = scriptColumns();
    // The letter salutation repeats a surname of up to 200 characters: 440 in all.
    column(columns, "Briefanrede").maxChars = 439;
    column(columns, "Briefanrede").type = "nvarchar(439)";
    column(columns, "telefon1").maxChars = 200;  // a whole line fits

    const auto findings = judge(columns);

    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].verdict, Verdict::failure);
    EXPECT_EQ(findings[0].subject, "AdressenImport.Briefanrede");
    EXPECT_TRUE(findings[0].text.starts_with("ist mit nvarchar(439) zu kurz: das Programm schreibt bis zu 440 Zeichen"))
        << findings[0].text;
}

TEST(ColumnFit, UnlimitedTextTakesEverythingAndBirthDateMayBeText) {
    std::vector<ColumnFacts> columns = scriptColumns();
    column(columns, "Bemerkungen").maxChars.reset();  // nvarchar(max)
    column(columns, "Geburtstag") = {"Geburtstag", "nvarchar(10)", ColumnKind::text, 10};

    EXPECT_EQ(judge(columns)[0].verdict, Verdict::ok);

    column(columns, "Geburtstag").maxChars = 9;
    EXPECT_EQ(judge(columns)[0].subject, "AdressenImport.Geburtstag");
}

TEST(ColumnFit, MissingColumnsAndWrongTypesEachHaveTheirLine) {
    std::vector<ColumnFacts> columns = scriptColumns();
    columns.erase(columns.begin() + 1);  // fremdid
    column(columns, "PLZOrt").kind = ColumnKind::number;
    column(columns, "PLZOrt").type = "int";

    const auto findings = app::judgeColumns("Adressen", columns, Verdict::warning, "");

    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0].subject, "Adressen.fremdid");
    EXPECT_TRUE(findings[0].text.starts_with("fehlt.")) << findings[0].text;
    EXPECT_EQ(findings[0].verdict, Verdict::warning);
    EXPECT_TRUE(findings[1].text.starts_with("nimmt als int keinen Text")) << findings[1].text;
}

TEST(ColumnFit, MissingTableIsAFailureWhateverTheColumnsVerdict) {
    const auto findings = app::judgeColumns("Adressen", std::nullopt, Verdict::warning, "");
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].verdict, Verdict::failure);
}

TEST(ColumnFit, IdThatIsNoNumberFailsEvenWhereColumnsOnlyWarn) {
    std::vector<ColumnFacts> columns = scriptColumns();
    column(columns, "id") = {"id", "uniqueidentifier", ColumnKind::other, {}};

    const auto findings = app::judgeColumns("Adressen", columns, Verdict::warning, "");

    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].verdict, Verdict::failure);
    EXPECT_EQ(findings[0].subject, "Adressen.id");
    EXPECT_TRUE(findings[0].text.starts_with("ist als uniqueidentifier keine Zahl")) << findings[0].text;
    columns.erase(columns.begin());
    EXPECT_TRUE(app::judgeColumns("Adressen", columns, Verdict::warning, "")[0].text.starts_with("fehlt:"));
}

TEST(ColumnFit, DurationsAreSaidAsAPersonReadsThem) {
    EXPECT_EQ(app::texts::durationText(0.4), "unter 1 Sekunde");
    EXPECT_EQ(app::texts::durationText(1.2), "etwa 1 Sekunde");
    EXPECT_EQ(app::texts::durationText(44.6), "etwa 45 Sekunden");
    EXPECT_EQ(app::texts::durationText(89), "etwa 1 Minute");
    EXPECT_EQ(app::texts::durationText(91), "etwa 2 Minuten");
    EXPECT_EQ(app::texts::durationText(3600), "etwa 1 Stunde");
    EXPECT_EQ(app::texts::durationText(2 * 3600 + 20 * 60), "etwa 2 Stunden 20 Minuten");
}

}  // namespace

// GetField: one value, a table of values, the value for nothing, and the value for a failure.

#include <gtest/gtest.h>

#include "db/Backends.h"
#include "db/GetField.h"

namespace {

class GetFieldLookup : public db_tests::DatenpoolTest {
protected:
    void addAddresses() {
        stage({"Ahrens", "Bauer", "Claasen"});
        connection->execute("AdressImport");
    }
    db::FieldResult lookUp(const std::string& auswahl, std::optional<db::Value> nullwert = std::nullopt,
                           std::optional<db::Value> fehlerwert = std::nullopt) {
        return db::GetField(*connection, auswahl, nullwert, fehlerwert,
                            [&](const std::string& text) { shown.push_back(text); });
    }
    static bool isEmpty(const db::FieldResult& result) { return std::holds_alternative<std::monostate>(result); }

    std::vector<std::string> shown;
};

TEST_P(GetFieldLookup, HighestIdIsTheNullValueForAnEmptyTableAndTheNumberOtherwise) {
    EXPECT_EQ(std::get<db::Value>(lookUp("MAX (id) FROM Adressen", db::Value(0))), db::Value(0));
    addAddresses();
    EXPECT_EQ(std::get<db::Value>(lookUp("MAX (id) FROM Adressen", db::Value(0))), db::Value(3));
    EXPECT_TRUE(shown.empty());
}

TEST_P(GetFieldLookup, NoRowOrANullFirstValueGiveTheNullValueOrNothing) {
    addAddresses();
    EXPECT_EQ(std::get<db::Value>(lookUp("nachname FROM Adressen WHERE id = 99", db::Value("keiner"))),
              db::Value("keiner"));
    EXPECT_TRUE(isEmpty(lookUp("nachname FROM Adressen WHERE id = 99")));
    EXPECT_EQ(std::get<db::Value>(lookUp("vorname, nachname FROM Adressen", db::Value(-1))), db::Value(-1));
    EXPECT_TRUE(shown.empty());
}

TEST_P(GetFieldLookup, TwoColumnsGiveATableByFieldAndRowEvenForOneRow) {
    addAddresses();
    const auto one = std::get<db::FieldTable>(lookUp("id, nachname FROM Adressen WHERE id = 2"));
    ASSERT_EQ(one.size(), 2u);
    ASSERT_EQ(one[0].size(), 1u);
    EXPECT_EQ(one[0][0], db::Value(2));
    EXPECT_EQ(one[1][0], db::Value("Bauer"));

    const auto all = std::get<db::FieldTable>(lookUp("id, nachname FROM Adressen ORDER BY id"));
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1], (std::vector<db::Value>{"Ahrens", "Bauer", "Claasen"}));
}

TEST_P(GetFieldLookup, FailureShowsTheProviderTextUnlessAnErrorValueIsGiven) {
    EXPECT_TRUE(isEmpty(lookUp("MAX (id FROM Adressen", db::Value(0))));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown.front().find("syntax error"), std::string::npos) << shown.front();

    shown.clear();
    EXPECT_EQ(std::get<db::Value>(lookUp("MAX (id FROM Adressen", db::Value(0), db::Value("Fehler"))),
              db::Value("Fehler"));
    EXPECT_EQ(std::get<db::Value>(lookUp("nachname FROM GibtsNicht", std::nullopt, db::Value(7))), db::Value(7));
    EXPECT_TRUE(shown.empty());
}

INSTANTIATE_FOR_BOTH_BACKENDS(GetFieldLookup);

}  // namespace
